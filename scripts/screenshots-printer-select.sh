#!/usr/bin/env bash
# Screenshots for a person to judge the layout, on a private Xvfb display, from a private copy
# of the program folder:
# - the printer selection dialog in English and Japanese, with two registered QK-R40 ports
#   (and one of another model, which the dialog hides);
# - the main window with the function menu in English, German and Japanese, the utility
#   opened on the printer simulator through a device path.
# Usage: scripts/screenshots-printer-select.sh [BUILD]   (default: build)
# Leaves BUILD/screenshots/printer-select-0409.png, printer-select-0411.png and
# main-window-0409.png, main-window-0407.png, main-window-0411.png.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-build}"
[ -d "$BUILD/stage" ] || { echo "screenshots: no $BUILD/stage; run make build first" >&2; exit 1; }
SHOTS="$(cd "$BUILD" && pwd)/screenshots"
WORK="$SHOTS/printer-select-work"
rm -rf "$WORK"
mkdir -p "$WORK/comm" "$SHOTS"
cp -r "$BUILD/stage" "$WORK/program"

# The stand-in library's registered ports: what the operator would have added before.
port() { # section number, interface, port name, device name
    printf '[Port%s]\r\nInterface=%s\r\nPortName=%s\r\nDeviceName=%s\r\nField1040=-1\r\nField1044=-1\r\n' "$@"
}
{
    printf '[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=3\r\n'
    port 1 COM COM1 QK-R40
    port 2 NET 192.168.192.10 QK-R40
    port 3 USB 001 QK-T20
} > "$WORK/comm/Ports.ini"

cat > "$WORK/shoot.sh" <<'INNER'
#!/usr/bin/env bash
# Inside the display session: one screenshot per language.
set -uo pipefail
WORK="$1"; SHOTS="$2"
export QKCOMM_DATA_DIR="$(winepath -w "$WORK/comm")"
cd "$WORK/program" || exit 1
# Japanese text needs a font with its glyphs: let Wine's font linking find the system's
# CJK font (Debian's fonts-wqy-microhei) under the face names it links to.
if fc-list :lang=ja 2>/dev/null | grep -q .; then
    cjk="$(fc-list :lang=ja family | head -1 | cut -d, -f1)"
    for face in "MS UI Gothic" "MS Gothic" "SimSun"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$cjk" /f >/dev/null 2>&1
    done
else
    echo "screenshots: no Japanese font installed (apt-get install fonts-wqy-microhei)" >&2
fi
status=0
for lang in 0409 0411; do
    sed -i "s/^LANGID=.*/LANGID=$lang/" SETTING.INI
    grep -q '^LANGID=' SETTING.INI || printf '[LANGUAGE]\r\nLANGID=%s\r\n' "$lang" >> SETTING.INI
    # A Wine virtual desktop draws window frames (bare Xvfb has no window manager).
    wine explorer /desktop=QKSelect,720x520 QK40UTL.exe >/dev/null 2>&1 &
    app=$!
    shown=0
    for _ in $(seq 1 150); do
        if xwininfo -root -tree 2>/dev/null | grep -q '"QK-R40 Utility"'; then shown=1; break; fi
        sleep 0.2
    done
    sleep 2 # let it paint
    shot="$SHOTS/printer-select-$lang.png"
    if [ "$shown" = 1 ] && import -window root -crop 720x520+0+0 "$shot" 2>/dev/null; then
        echo "screenshots: $shot"
    else
        echo "screenshots: the selection dialog did not appear for language $lang" >&2
        status=1
    fi
    kill "$app" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1
    wait "$app" 2>/dev/null
done

# The main window: the simulator on free ports (started again for each language, since the
# Wine server ends with each run), reached through a serial port name the library maps to it.
start_simulator() {
    local portfile="$WORK/sim.ports" data control
    rm -f "$portfile"
    wine QKPrinterSim.exe --port 0 --control-port 0 --port-file "$(winepath -w "$portfile")" \
        >/dev/null 2>&1 &
    for _ in $(seq 1 100); do [ -s "$portfile" ] && break; sleep 0.2; done
    read -r data control < "$portfile" || return 1
    printf '[COM]\r\nQKSHOT=127.0.0.1:%s\r\n[Features]\r\n2=1\r\n' "$data" \
        > "$WORK/comm/DeviceMap.ini"
}
for lang in 0409 0407 0411; do
    sed -i "s/^LANGID=.*/LANGID=$lang/" SETTING.INI
    start_simulator || { echo "screenshots: the simulator did not start" >&2; status=1; continue; }
    wine explorer /desktop=QKMain,900x600 QK40UTL.exe /bM /mR '/r\\.\QKSHOT' >/dev/null 2>&1 &
    app=$!
    shown=0
    for _ in $(seq 1 150); do
        if xwininfo -root -tree 2>/dev/null | grep -q '"QK-R40 Utility Ver.1.40"'; then shown=1; break; fi
        sleep 0.2
    done
    sleep 5 # the settings read under its progress dialog, then the paint
    shot="$SHOTS/main-window-$lang.png"
    if [ "$shown" = 1 ] && import -window root -crop 900x600+0+0 "$shot" 2>/dev/null; then
        echo "screenshots: $shot"
    else
        echo "screenshots: the main window did not appear for language $lang" >&2
        status=1
    fi
    kill "$app" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1
    wait "$app" 2>/dev/null
done
exit $status
INNER
bash "$here/xvfb-session.sh" bash "$WORK/shoot.sh" "$WORK" "$SHOTS"
