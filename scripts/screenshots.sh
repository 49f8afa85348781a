#!/usr/bin/env bash
# Screenshots of every window of the utility in English, German and Japanese (the real
# program's windows by screenshots-printer-select.sh, the paper, logo and printer information
# pages alone by screenshots-paper-page.sh, the journal page and its viewer by
# screenshots-journal-page.sh),
# at 96 DPI and at 144 DPI (BUILD/screenshots/144dpi/), then the README's tour refreshed from
# the English 96 DPI ones: small PNGs in docs/tour/.
# Usage: scripts/screenshots.sh [BUILD]   (default: build)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-build}"
status=0
shoot_all() {
    local rc=0
    bash "$here/screenshots-printer-select.sh" "$BUILD" || rc=1
    bash "$here/screenshots-paper-page.sh" "$BUILD" || rc=1
    bash "$here/screenshots-paper-page.sh" "$BUILD" logo || rc=1
    bash "$here/screenshots-paper-page.sh" "$BUILD" info || rc=1
    bash "$here/screenshots-journal-page.sh" "$BUILD" || rc=1
    return $rc
}
shoot_all || status=1
# The same at 144 DPI (150 %), in a prefix of that DPI beside the project's, into
# screenshots/144dpi/.
prefix="$(bash "$here/xvfb-session.sh" bash "$here/wine-dpi.sh" 144 | tail -1)"
if [ -n "$prefix" ] && [ -d "$prefix" ]; then
    ( export WINEPREFIX="$prefix" QK_SHOT_DPI=144; shoot_all ) || status=1
else
    echo "screenshots: no 144 DPI prefix" >&2
    status=1
fi

SHOTS="$BUILD/screenshots"
TOUR="$here/../docs/tour"
mkdir -p "$TOUR"
for name in printer-select add-port select-language main-window paper-page logo-page info-page \
            journal-page-off journal-page-on journal-viewer \
            status-cover-open status-paper-out status-offline; do
    shot="$SHOTS/$name-0409.png"
    if [ -f "$shot" ]; then
        # Two thirds of the size in a 64-colour palette: a few tens of kilobytes each.
        convert "$shot" -resize 67% -colors 64 -strip "PNG8:$TOUR/$name.png"
    else
        echo "screenshots: no $shot for the tour" >&2
        status=1
    fi
done
# The main window at 150 %, reduced as the others are, so it shows larger, laid out and sharp.
shot="$SHOTS/144dpi/main-window-0409.png"
if [ -f "$shot" ]; then
    convert "$shot" -resize 67% -colors 64 -strip "PNG8:$TOUR/main-window-144dpi.png"
else
    echo "screenshots: no $shot for the tour" >&2
    status=1
fi
echo "screenshots: all in $SHOTS (144 DPI: $SHOTS/144dpi); the tour's in docs/tour"
exit $status
