#!/usr/bin/env bash
# Configures the Windows builds of this machine. The shipped build is 32-bit (i686). Where the
# kernel runs 32-bit programs (scripts/wine-arch.sh says win32) BUILD is that build, and it is
# the one tested. Where it runs none, BUILD is a 64-bit twin of the same sources, tested under a
# 64-bit prefix, and BUILD/i686 is the shipped build, compiled in full but not run, so that a
# change that breaks it fails here too. With ONE_BUILD=1 only BUILD is configured.
# A folder configured for another toolchain is emptied first (its Wine prefixes are kept).
# Usage: scripts/configure.sh [BUILD]   (default: build)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build}"

# configure_one DIR TOOLCHAIN [CMAKE-ARGS...]
configure_one() {
    local dir="$1" toolchain="$2"
    shift 2
    local cache="$dir/CMakeCache.txt"
    if [ -f "$cache" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*$toolchain\$" "$cache"; then
        echo "configure: $dir was configured for another toolchain; rebuilding it with $toolchain"
        find "$dir" -mindepth 1 -maxdepth 1 ! -name 'wineprefix*' ! -name wine64-bin ! -name i686 \
            -exec rm -rf {} +
    fi
    [ -f "$cache" ] || cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

if [ "$(bash scripts/wine-arch.sh)" = win64 ]; then
    configure_one "$build" cmake/mingw-x86_64.cmake
    if [ "${ONE_BUILD:-0}" != 1 ]; then
        # Compiled only: the native sanitizer build is the tested build's.
        configure_one "$build/i686" cmake/mingw-i686.cmake -DQK_NATIVE=OFF
    fi
else
    configure_one "$build" cmake/mingw-i686.cmake
fi
