#!/usr/bin/env bash
# Runs every test of BUILD under one Wine server on a private display, and says, just before
# ctest's summary, which Windows build the suites ran on.
# Usage: scripts/test.sh [BUILD]   (default: build)
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build}"
if [ "$(bash scripts/wine-arch.sh)" = win64 ]; then
    tested="tested: 64-bit twin; 32-bit build compiled only"
    [ -f "$build/i686/CMakeCache.txt" ] || tested="tested: 64-bit twin; 32-bit build not built (ONE_BUILD=1)"
else
    tested="tested: 32-bit build (shipped)"
fi
bash scripts/xvfb-session.sh ctest --test-dir "$build" --output-on-failure -j 2 2>&1 |
    awk -v tested="$tested" '
        !said && /^[0-9]+% tests passed/ { print tested; said = 1 }
        { print; fflush() }
        END { if (!said) print tested }'
exit "${PIPESTATUS[0]}"
