#!/usr/bin/env bash
# Starts the utility from the program folder. On the user's display when there is one;
# otherwise on a private Xvfb display, where a screenshot is saved and its path printed.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-build}"
STAGE="$(cd "$BUILD/stage" && pwd)"
SHOTS="$(cd "$BUILD" && pwd)/screenshots"

if [ -n "${DISPLAY:-}" ]; then
    exec bash "$here/xvfb-session.sh" --use-display bash "$here/run-session.sh" "$STAGE" ""
fi
mkdir -p "$SHOTS"
bash "$here/xvfb-session.sh" bash "$here/run-session.sh" "$STAGE" "$SHOTS/run.png"
