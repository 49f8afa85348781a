#!/usr/bin/env bash
# Builds what scripts/configure.sh configured: BUILD, the build this machine tests, and (where
# that is the 64-bit twin, unless ONE_BUILD=1) BUILD/i686, the shipped 32-bit build, in full:
# program, plug-ins, stand-ins, tests and benchmarks. The shipped one goes first, so that a
# change that breaks it fails before the long test build.
# Usage: scripts/build.sh BUILD JOBS [--tested-only]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build}"
jobs="${2:-$(nproc)}"
if [ "${3:-}" != --tested-only ] && [ "${ONE_BUILD:-0}" != 1 ] && [ -f "$build/i686/CMakeCache.txt" ] &&
    [ "$(bash scripts/wine-arch.sh)" = win64 ]; then
    echo "build: the shipped 32-bit build ($build/i686), compiled only on this machine"
    cmake --build "$build/i686" -j "$jobs"
fi
cmake --build "$build" -j "$jobs"
