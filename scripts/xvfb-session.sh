#!/usr/bin/env bash
# Runs a command on a private Xvfb display with one wineserver kept alive for the whole run
# (saves Wine's start-up time per test). Everything started here ends with it.
# Usage: xvfb-session.sh [--use-display] command...
#   --use-display  use the caller's $DISPLAY when there is one instead of a private Xvfb.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

if [ "$QK_WINE_ARCH" = win64 ]; then
    echo "xvfb-session: this machine's kernel runs no 32-bit programs; testing the 64-bit build" >&2
fi

use_display=0
if [ "${1:-}" = "--use-display" ]; then use_display=1; shift; fi

xvfb_pid=""
if [ "$use_display" -eq 0 ] || [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        if kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
        xvfb_pid=""
    done
    [ -n "$xvfb_pid" ] || { echo "xvfb-session: could not start Xvfb" >&2; exit 1; }
fi

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT INT TERM

"$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
wineserver -p >/dev/null 2>&1
# Start Wine's background services now, with their output discarded: started by the first
# test instead, they would inherit that test's output pipe and ctest would wait for them.
wine cmd /c exit >/dev/null 2>&1
# The same for what the first windowed program starts (the desktop process and the services
# it asks for).
wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1
# The stand-in of the maker's port communication service (started on demand only).
"$(dirname "${BASH_SOURCE[0]}")/wine-services.sh"
"$@"
rc=$?
exit $rc
