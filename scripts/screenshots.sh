#!/usr/bin/env bash
# Screenshots of every window of the utility in English, German and Japanese (the real
# program's windows by screenshots-printer-select.sh, the paper and logo pages alone by
# screenshots-paper-page.sh, the journal page and its viewer by screenshots-journal-page.sh),
# then the README's tour refreshed from the English ones: small PNGs in docs/tour/.
# Usage: scripts/screenshots.sh [BUILD]   (default: build)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-build}"
status=0
bash "$here/screenshots-printer-select.sh" "$BUILD" || status=1
bash "$here/screenshots-paper-page.sh" "$BUILD" || status=1
bash "$here/screenshots-paper-page.sh" "$BUILD" logo || status=1
bash "$here/screenshots-journal-page.sh" "$BUILD" || status=1

SHOTS="$BUILD/screenshots"
TOUR="$here/../docs/tour"
mkdir -p "$TOUR"
for name in printer-select add-port select-language main-window paper-page logo-page \
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
echo "screenshots: all in $SHOTS; the tour's in docs/tour"
exit $status
