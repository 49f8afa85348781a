#!/usr/bin/env bash
# A second Wine prefix beside the project's, whose screen has DPI pixels per inch instead of
# 96: made once like the first (scripts/wine-prefix.sh), then given the per-user LogPixels
# value (HKCU\Control Panel\Desktop) that Wine reads at each program's start. A prefix of its
# own, because every program started in a prefix while its value is changed would take it.
# Must run with a display (inside xvfb-session.sh).
# Usage: wine-dpi.sh DPI               prints the prefix's path
#        wine-dpi.sh DPI PROGRAM ARGS  runs the program there (as scripts/wine-run.sh does)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
dpi="${1:?usage: wine-dpi.sh DPI [PROGRAM ARGS...]}"
shift
source "$here/wine-env.sh"
export WINEPREFIX="$WINEPREFIX-${dpi}dpi"
bash "$here/wine-prefix.sh" >&2
marker="$WINEPREFIX/.qk-logpixels-$dpi"
if [ ! -f "$marker" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
    touch "$marker"
fi
if [ "$#" -eq 0 ]; then
    echo "$WINEPREFIX"
    exit 0
fi
exec bash "$here/wine-run.sh" "$@"
