#!/usr/bin/env bash
# Inside a display session: starts the printer simulator, registers its port with the
# communication library when no port is registered yet, and starts the utility. With a
# screenshot path (no display of the user's), it also takes screenshots: the printer
# selection, then, after Enter chose the simulator's printer, the main window.
set -uo pipefail
STAGE="$1"
SHOT="${2:-}"
cd "$STAGE" || exit 1

# The port through which the electronic journal can be tried (see run-journal.sh).
journal_port="$(bash "$(dirname "${BASH_SOURCE[0]}")/run-journal.sh" "$STAGE" | tail -n 1)"

# The simulated QK-R40 on 127.0.0.1:9100 (control channel 9101), with the command emulator
# keeping the journal of the journal port.
# What it prints goes to a text file beside the program folder.
receipts="$(cd "$STAGE/.." && pwd)/Receipts.txt"
wine QKPrinterSim.exe --port 9100 --control-port 9101 --emulator-port "$journal_port" \
    --receipt-file "$(winepath -w "$receipts" 2>/dev/null || echo "$receipts")" >/dev/null 2>&1 &
sim=$!
stop_simulator() {
    wine QKPrinterSim.exe --control 9101 quit >/dev/null 2>&1 || kill "$sim" 2>/dev/null
}
trap stop_simulator EXIT

echo "run: printer simulator on 127.0.0.1:9100; flip its state with"
echo "     scripts/wine-run.sh $STAGE/QKPrinterSim.exe --control 9101 cover open"
echo "run: for the electronic journal choose $journal_port; print on it with"
echo "     scripts/wine-run.sh $STAGE/QKPrinterSim.exe --control 9101 print Receipt 1"
echo "run: what the printer prints (a test print, say) is written to $receipts"

if [ -z "$SHOT" ]; then
    wine QK40UTL.exe
    exit 0
fi

# A Wine virtual desktop draws window frames itself (bare Xvfb has no window manager).
wine explorer /desktop=QKR40,1024x680 QK40UTL.exe &
app=$!
shot() {
    if import -window root -crop 1024x680+0+0 +repage "$1" 2>/dev/null; then
        echo "run: screenshot $1"
    else
        echo "run: could not take a screenshot" >&2
    fi
}
for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q "QKR40" && break
    sleep 0.2
done
sleep 4   # start-up and the printer selection
shot "${SHOT%.png}-select.png"
# Enter is OK in the printer selection: the simulator's printer is checked and opened.
if command -v xdotool >/dev/null; then
    xdotool key Return 2>/dev/null
    sleep 5
fi
shot "$SHOT"
echo "run: no display; the utility ran on Xvfb."
kill "$app" 2>/dev/null
