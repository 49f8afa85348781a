#!/usr/bin/env bash
# Screenshots of the printer selection dialog in English and Japanese, for a person to judge
# the layout. Runs the utility from a private copy of the program folder with two registered
# QK-R40 ports (and one of another model, which the dialog hides), once per language, on a
# private Xvfb display.
# Usage: scripts/screenshots-printer-select.sh [BUILD]   (default: build)
# Leaves BUILD/screenshots/printer-select-0409.png and printer-select-0411.png.
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
exit $status
INNER
bash "$here/xvfb-session.sh" bash "$WORK/shoot.sh" "$WORK" "$SHOTS"
