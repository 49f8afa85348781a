#!/usr/bin/env bash
# Screenshots of the electronic journal page in the real utility, for a person to judge the
# layout, on a private Xvfb display, in English, German and Japanese: the simulator's printer
# on a virtual serial port of the maker's port driver (COMSHOT, as make run's COM7), the page
# with the journal off, then on after Yes, and the journal viewer with a few printed lines.
# Usage: scripts/screenshots-journal-page.sh [BUILD]   (default: build)
# Leaves BUILD/screenshots/journal-page-off-<language>.png, journal-page-on-<language>.png
# and journal-viewer-<language>.png.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-build}"
[ -d "$BUILD/stage" ] || { echo "screenshots: no $BUILD/stage; run make build first" >&2; exit 1; }
POKE="$BUILD/tests/bin/window_poke.exe"
[ -f "$POKE" ] || { echo "screenshots: no $POKE; run make build first" >&2; exit 1; }
# At another DPI than 96 (QK_SHOT_DPI, with WINEPREFIX a prefix of that DPI) in a folder of its own.
SHOTS="$(cd "$BUILD" && pwd)/screenshots${QK_SHOT_DPI:+/${QK_SHOT_DPI}dpi}"
WORK="$SHOTS/journal-page-work"
rm -rf "$WORK"
mkdir -p "$WORK/comm" "$SHOTS"
cp -r "$BUILD/stage" "$WORK/program"
cp "$POKE" "$WORK/window_poke.exe"
printf '[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=1\r\n[Port1]\r\nInterface=COM\r\nPortName=COMSHOT\r\nDeviceName=QK-R40\r\nField1040=-1\r\nField1044=-1\r\n' \
    > "$WORK/comm/Ports.ini"

cat > "$WORK/shoot.sh" <<'INNER'
#!/usr/bin/env bash
# Inside the display session: the port driver's entries once, then language by language the
# page with the journal off and on, and the viewer.
set -uo pipefail
WORK="$1"; SHOTS="$2"; HERE="$3"
source "$HERE/screenshot-lib.sh"
export QKCOMM_DATA_DIR="$(winepath -w "$WORK/comm")"
export QKTOOLS_DATA_DIR="$(winepath -w "$WORK")"
SHOT_POKE="$WORK/window_poke.exe"
SECTION=QKSHOT0001
entry='HKLM\SYSTEM\CurrentControlSet\Enum\Root\PORTS\QKSHOTJ\Device Parameters'
wine reg add "$entry" /v PortName /d COMSHOT /f >/dev/null 2>&1
wine reg add "$entry" /v TarID /d "$SECTION" /f >/dev/null 2>&1
driver='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{6F1D2A47-3B8C-4E95-A0D2-5C7B9E41F803}'
wine reg add "$driver" /v DisplayVersion /d 8.0.0 /f >/dev/null 2>&1
programs="$WINEPREFIX/drive_c/Program Files/TARROW"
mkdir -p "$programs/QKCOMUSB" "$programs/QKCommandEmulator"
cp -f "$WORK/program/TarrowPA.exe" "$programs/QKCOMUSB/"
cp -f "$WORK/program/JrnlView.exe" "$programs/QKCommandEmulator/"
emulator="$WINEPREFIX/drive_c/ProgramData/TARROW/QKCommandEmulator"
cd "$WORK/program" || exit 1
shot_fonts
status=0
for lang in 0409 0407 0411; do
    # Every language starts with the journal off and an empty journal.
    wine reg add "$entry" /v TarDM /t REG_DWORD /d 0 /f >/dev/null 2>&1
    if [ -f "$emulator/CMDSETParser.ini" ]; then
        sed -i "/^\[$SECTION\]/,/^\[/{/^\[$SECTION\]/d;/^\[/!d}" "$emulator/CMDSETParser.ini"
    fi
    rm -f "$emulator/Journal_$SECTION.txt"
    shot_language SETTING.INI "$lang"
    shot_simulator "$WORK" COMSHOT --emulator-port COMSHOT ||
        { echo "screenshots: the simulator did not start" >&2; status=1; continue; }
    shot_start QKTour 900x600 QK40UTL.exe
    if ! shot_wait "QK-R40 Utility"; then
        echo "screenshots: the selection dialog did not appear for language $lang" >&2
        status=1
        shot_end
        continue
    fi
    sleep 2
    shot_poke click 1
    if ! shot_wait "QK-R40 Utility Ver.1.40"; then
        echo "screenshots: the main window did not appear for language $lang" >&2
        status=1
        shot_end
        continue
    fi
    sleep 5 # the settings read under its progress dialog
    shot_poke row 2; sleep 2 # the journal's row: after the heading and the paper settings
    shot_take "$SHOTS/journal-page-off-$lang.png" || status=1
    shot_poke press 10019; sleep 2
    shot_poke click 6; sleep 5 # Yes: the section is written and the port routed
    shot_take "$SHOTS/journal-page-on-$lang.png" || status=1
    for line in "QK Coffee  Table 4" "Espresso      2.40" "Croissant     1.90" "TOTAL         4.30"; do
        shot_printer print "$line"
    done
    shot_poke press 5003
    if shot_wait "Electronic Journal - $SECTION"; then
        sleep 2
        shot_take "$SHOTS/journal-viewer-$lang.png" || status=1
    else
        echo "screenshots: the journal viewer did not appear for language $lang" >&2
        status=1
    fi
    shot_end
done
wine reg delete 'HKLM\SYSTEM\CurrentControlSet\Enum\Root\PORTS\QKSHOTJ' /f >/dev/null 2>&1
exit $status
INNER
bash "$here/xvfb-session.sh" bash "$WORK/shoot.sh" "$WORK" "$SHOTS" "$here"
