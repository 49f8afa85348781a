#!/usr/bin/env bash
# Builds the release's program folder: an optimised, stripped build of what ships, laid out in
# BUILD/stage. The shipped build is 32-bit; QK_PACKAGE_ARCH=x86_64 makes a 64-bit one instead,
# only to measure the optimised build where 32-bit programs cannot run.
# Usage: scripts/release-build.sh [BUILD]   (default: build-release)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build-release}"
case "${QK_PACKAGE_ARCH:-i686}" in
    i686) toolchain=cmake/mingw-i686.cmake ;;
    x86_64) toolchain=cmake/mingw-x86_64.cmake ;;
    *) echo "release: unknown QK_PACKAGE_ARCH $QK_PACKAGE_ARCH (i686 or x86_64)" >&2; exit 2 ;;
esac
cache="$build/CMakeCache.txt"
if [ -f "$cache" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*$toolchain\$" "$cache"; then
    rm -rf "$build"
fi
# -s strips at link time: the release carries no debug information.
[ -f "$cache" ] || cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS=-s -DCMAKE_SHARED_LINKER_FLAGS=-s
cmake --build "$build" --target qk_stage -j "${JOBS:-$(nproc)}"
