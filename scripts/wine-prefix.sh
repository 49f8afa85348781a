#!/usr/bin/env bash
# Creates the project's Wine prefix once. Must run with a display (inside xvfb-session.sh),
# otherwise Wine's desktop process starts without X and later windows fail.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: creating Wine prefix $WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
