#!/usr/bin/env bash
# Screenshots of the real utility's windows, for a person to judge the layout, on a private
# Xvfb display, from a private copy of the program folder, in English, German and Japanese:
# - the printer selection dialog with two registered QK-R40 ports (and one of another model,
#   which the dialog hides), its add-port dialog and its language selection;
# - the main window with the function menu, after OK chose the simulator's printer: the
#   page it opens with, and the status strip with the cover open, the paper out and the
#   printer offline.
# Usage: scripts/screenshots-printer-select.sh [BUILD]   (default: build)
# Leaves BUILD/screenshots/<name>-<language>.png, e.g. printer-select-0409.png,
# main-window-0407.png, status-offline-0411.png.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-build}"
[ -d "$BUILD/stage" ] || { echo "screenshots: no $BUILD/stage; run make build first" >&2; exit 1; }
POKE="$BUILD/tests/bin/window_poke.exe"
[ -f "$POKE" ] || { echo "screenshots: no $POKE; run make build first" >&2; exit 1; }
# At another DPI than 96 (QK_SHOT_DPI, with WINEPREFIX a prefix of that DPI) in a folder of its own.
SHOTS="$(cd "$BUILD" && pwd)/screenshots${QK_SHOT_DPI:+/${QK_SHOT_DPI}dpi}"
WORK="$SHOTS/printer-select-work"
rm -rf "$WORK"
mkdir -p "$WORK/comm" "$SHOTS"
cp -r "$BUILD/stage" "$WORK/program"
cp "$POKE" "$WORK/window_poke.exe"

# The stand-in library's registered ports: what the operator would have added before. QKSHOT
# is the simulator's (shot_simulator maps it).
port() { # section number, interface, port name, device name
    printf '[Port%s]\r\nInterface=%s\r\nPortName=%s\r\nDeviceName=%s\r\nField1040=-1\r\nField1044=-1\r\n' "$@"
}
{
    printf '[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=3\r\n'
    port 1 COM QKSHOT QK-R40
    port 2 NET 192.168.192.10 QK-R40
    port 3 USB 001 QK-T20
} > "$WORK/comm/Ports.ini"

cat > "$WORK/shoot.sh" <<'INNER'
#!/usr/bin/env bash
# Inside the display session: the windows, language by language, as an operator meets them.
set -uo pipefail
WORK="$1"; SHOTS="$2"; HERE="$3"
source "$HERE/screenshot-lib.sh"
export QKCOMM_DATA_DIR="$(winepath -w "$WORK/comm")"
SHOT_POKE="$WORK/window_poke.exe"
cd "$WORK/program" || exit 1
shot_fonts
status=0
for lang in 0409 0407 0411; do
    shot_language SETTING.INI "$lang"
    shot_simulator "$WORK" || { echo "screenshots: the simulator did not start" >&2; status=1; continue; }
    shot_start QKTour 900x600 QK40UTL.exe
    if ! shot_wait "QK-R40 Utility"; then
        echo "screenshots: the selection dialog did not appear for language $lang" >&2
        status=1
        shot_end
        continue
    fi
    sleep 2 # let it paint
    shot_take "$SHOTS/printer-select-$lang.png" || status=1
    shot_poke click 1003; sleep 2
    shot_take "$SHOTS/add-port-$lang.png" || status=1
    shot_poke click 2; sleep 1
    shot_poke click 1026; sleep 2
    shot_take "$SHOTS/select-language-$lang.png" || status=1
    shot_poke click 2; sleep 1
    # OK: the simulator's printer (the first row) is checked and opened.
    shot_poke click 1
    if ! shot_wait "QK-R40 Utility Ver.1.40"; then
        echo "screenshots: the main window did not appear for language $lang" >&2
        status=1
        shot_end
        continue
    fi
    sleep 5 # the settings read under its progress dialog, then the paint
    shot_take "$SHOTS/main-window-$lang.png" || status=1
    for state in "cover open" "paper out" "offline"; do
        shot_printer online
        shot_printer $state
        sleep 2
        shot_take "$SHOTS/status-${state// /-}-$lang.png" || status=1
    done
    shot_end
done
exit $status
INNER
bash "$here/xvfb-session.sh" bash "$WORK/shoot.sh" "$WORK" "$SHOTS" "$here"
