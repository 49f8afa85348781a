#!/usr/bin/env bash
# Creates and configures the project's Wine prefix once. Must run with a display (inside
# xvfb-session.sh), otherwise Wine's desktop process starts without X and later windows fail.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
marker="$QK_PREFIX_MARKER"
[ -f "$marker" ] && exit 0
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: creating Wine prefix $WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 || true
fi
# Windows not managed by an X window manager: Wine draws their frames itself and does not
# wait (seconds, on a bare Xvfb) for a window manager to confirm each hide or destroy.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# A crashing program prints its backtrace and ends, instead of waiting for someone to close
# the crash dialog on a display nobody sees (a test would hang until ctest's time-out).
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# The dialog font falls back to DejaVu Sans here, which has no Japanese characters: link it to
# the Japanese-capable font setup.sh installs, so Japanese texts are drawn (and measured by the
# text-fit check) with real glyphs instead of empty boxes.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v 'DejaVu Sans' /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
wineserver -w
touch "$marker"
