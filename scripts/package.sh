#!/usr/bin/env bash
# Builds the release: an optimised, stripped build of what ships, laid out in BUILD/stage, and
# the Windows installer BUILD/QK40UTL-Setup-<version>.exe made from it with NSIS.
# The shipped build is 32-bit, and so is the installer, on every machine. QK_PACKAGE_ARCH=x86_64
# makes a 64-bit one instead, only to measure the optimised build where 32-bit programs
# cannot run.
# Usage: scripts/package.sh [BUILD]   (default: build-release)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build-release}"
arch="${QK_PACKAGE_ARCH:-i686}"
case "$arch" in
    i686) target=x86-unicode ;;
    x86_64) target=amd64-unicode ;;
    *) echo "package: unknown QK_PACKAGE_ARCH $arch (i686 or x86_64)" >&2; exit 2 ;;
esac
bash scripts/release-build.sh "$build"

version="$(sed -n 's/.*kVersionText\[\] = L"Ver\.\([0-9.]*\)".*/\1/p' app/shell/Model.h)"
setup="$build/QK40UTL-Setup-$version.exe"
bash scripts/make-installer.sh "$build/stage" "$setup" "$target"
echo "package: $setup ($arch, $(du -h "$setup" | cut -f1); QK40UTL.exe $(du -h "$build/stage/QK40UTL.exe" | cut -f1))"
