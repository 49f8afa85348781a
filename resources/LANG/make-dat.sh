#!/usr/bin/env bash
# Rebuilds the shipped language files from their UTF-8 sources in src/: UTF-16LE with a
# byte-order mark and CRLF line ends, which the platform's profile reader takes as Unicode.
# Edit src/<id>.txt, run this script, commit both; a framework test checks they agree.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for src in src/*.txt; do
    id=$(basename "$src" .txt)
    { printf '\xff\xfe'; sed 's/\r$//; s/$/\r/' "$src" | iconv -f UTF-8 -t UTF-16LE; } > "$id.DAT"
done
