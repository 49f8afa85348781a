#!/usr/bin/env bash
# ctest's installer test: makes a quick installer of the program folder, then runs the test
# program under Wine with its path.
# Usage: scripts/install-test.sh STAGE SETUP-EXE x86-unicode|amd64-unicode TEST-EXE
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bash "$here/make-installer.sh" "$1" "$2" "$3" zlib
QK_TEST_INSTALLER="Z:$(cd "$(dirname "$2")" && pwd)/$(basename "$2")" \
    exec bash "$here/wine-run.sh" "$4" --gtest_color=no
