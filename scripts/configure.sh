#!/usr/bin/env bash
# Configures the build folder for the Windows build this machine can test: the shipped 32-bit
# build, or the 64-bit one where the kernel runs no 32-bit programs (scripts/wine-arch.sh).
# A folder configured for the other one is emptied first (its Wine prefixes are kept).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build}"
toolchain=cmake/mingw-i686.cmake
[ "$(bash scripts/wine-arch.sh)" = win64 ] && toolchain=cmake/mingw-x86_64.cmake
cache="$build/CMakeCache.txt"
if [ -f "$cache" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*$toolchain\$" "$cache"; then
    echo "configure: $build was configured for another toolchain; rebuilding it with $toolchain"
    find "$build" -mindepth 1 -maxdepth 1 ! -name 'wineprefix*' ! -name wine64-bin -exec rm -rf {} +
fi
[ -f "$cache" ] || cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
