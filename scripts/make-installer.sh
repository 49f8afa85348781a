#!/usr/bin/env bash
# Makes the Windows installer from a program folder with NSIS.
# Usage: scripts/make-installer.sh STAGE OUTFILE x86-unicode|amd64-unicode [COMPRESSOR]
# (COMPRESSOR: lzma, the default, for the release; zlib is quicker for a test's installer.)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
stage="$(cd "$1" && pwd)"
out="$(mkdir -p "$(dirname "$2")" && cd "$(dirname "$2")" && pwd)/$(basename "$2")"
target="$3"
compressor="${4:-lzma}"
# The version the installer names is the one the program shows in its title.
version="$(sed -n 's/.*kVersionText\[\] = L"Ver\.\([0-9.]*\)".*/\1/p' "$root/app/shell/Model.h")"
[ -n "$version" ] || { echo "make-installer: no version text in app/shell/Model.h" >&2; exit 1; }
makensis -V2 -INPUTCHARSET UTF8 -DSTAGE="$stage" -DOUTFILE="$out" -DVERSION="$version" -DTARGET="$target" \
    -DCOMPRESSOR="$compressor" "$root/resources/installer/QK40UTL.nsi"
