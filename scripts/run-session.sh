#!/usr/bin/env bash
# Inside a display session: starts the utility; with a screenshot path, waits for its main
# window, saves a screenshot of the screen and ends the program.
set -uo pipefail
STAGE="$1"
SHOT="$2"
cd "$STAGE" || exit 1

if [ -z "$SHOT" ]; then
    wine QK40UTL.exe
    exit 0
fi

# A Wine virtual desktop draws window frames itself (bare Xvfb has no window manager).
wine explorer /desktop=QKR40,1024x680 QK40UTL.exe &
app=$!
title="QK-R40 Utility Ver.1.40"
for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q "QKR40" && break
    sleep 0.2
done
sleep 3   # let it start and paint
if import -window root "$SHOT" 2>/dev/null; then
    echo "run: no display; the utility ran on Xvfb. Screenshot: $SHOT"
else
    echo "run: could not take a screenshot" >&2
fi
kill "$app" 2>/dev/null
