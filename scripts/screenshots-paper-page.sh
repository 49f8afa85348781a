#!/usr/bin/env bash
# Screenshots of the paper and print settings page in English, German and Japanese, for a
# person to judge the layout: the page shown alone (factory values, no printer needed) by
# paper_page_shot.exe, once per language, on a private Xvfb display.
# Usage: scripts/screenshots-paper-page.sh [BUILD]   (default: build)
# Leaves BUILD/screenshots/paper-page-0409.png, -0407.png and -0411.png.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-build}"
TOOL="$BUILD/tests/bin/paper_page_shot.exe"
[ -f "$TOOL" ] || { echo "screenshots: no $TOOL; run make build first" >&2; exit 1; }
SHOTS="$(cd "$BUILD" && pwd)/screenshots"
mkdir -p "$SHOTS"
TOOL="$(cd "$(dirname "$TOOL")" && pwd)/$(basename "$TOOL")"

cat > "$SHOTS/paper-page-shoot.sh" <<'INNER'
#!/usr/bin/env bash
# Inside the display session: one screenshot per language.
set -uo pipefail
TOOL="$1"; SHOTS="$2"; HERE="$3"
source "$HERE/screenshot-lib.sh"
shot_fonts
status=0
for lang in 0409 0407 0411; do
    shot_start QKPaper 660x500 "$TOOL" "$lang" 30
    if shot_wait "QK-R40 paper settings page"; then
        sleep 2 # let it paint
        shot_take "$SHOTS/paper-page-$lang.png" || status=1
    else
        echo "screenshots: the page did not appear for language $lang" >&2
        status=1
    fi
    shot_end
done
exit $status
INNER
bash "$here/xvfb-session.sh" bash "$SHOTS/paper-page-shoot.sh" "$TOOL" "$SHOTS" "$here"
