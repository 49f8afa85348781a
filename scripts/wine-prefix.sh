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
# The same fonts on every machine: Wine's own Tahoma and Marlett (fonts-wine, from setup.sh) are
# the dialog font and the title-bar buttons' symbols; without them the dialogs took whatever
# sans font the machine had (other widths, other layouts) and the caption buttons read "0 1 r".
# The files go into the prefix's own font folder, where Wine reads them wherever it was built
# to look for its data.
for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
    if [ -f "/usr/share/wine/fonts/$font" ]; then
        cp -f "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    else
        echo "setup: /usr/share/wine/fonts/$font missing (package fonts-wine)" >&2
    fi
done
for face in 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v "$face" /t REG_SZ /d Tahoma /f >/dev/null 2>&1
done
# Neither Tahoma nor the fallback DejaVu Sans has Japanese characters: link them to the
# Japanese-capable font setup.sh installs, so Japanese texts are drawn (and measured by the
# text-fit check) with real glyphs instead of empty boxes.
for face in Tahoma 'Tahoma Bold' 'DejaVu Sans'; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w
touch "$marker"
