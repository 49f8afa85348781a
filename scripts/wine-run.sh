#!/usr/bin/env bash
# Runs a Windows program under the project's Wine prefix (used as CMake's emulator).
# With QK_DETACH_OUTPUT set (ctest's Wine tests), the program writes to a file that is shown as
# it grows: what Wine starts in the background on a program's behalf (the desktop process,
# services) inherits that file instead of ctest's pipe, which ctest would otherwise wait on
# until the last of them ends, minutes after the test itself.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ -z "${QK_DETACH_OUTPUT:-}" ]; then
    exec wine "$@"
fi
out="$(mktemp)"
# Ends, after a last read, once this script has ended.
tail --pid=$$ -s 0.2 -n +1 -f "$out" &
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
rm -f "$out"
exit $rc
