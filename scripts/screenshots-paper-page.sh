#!/usr/bin/env bash
# Screenshots of the paper and print settings page in English and Japanese, for a person to
# judge the layout: the page shown alone (factory values, no printer needed) by
# paper_page_shot.exe, once per language, on a private Xvfb display.
# Usage: scripts/screenshots-paper-page.sh [BUILD]   (default: build)
# Leaves BUILD/screenshots/paper-page-0409.png and paper-page-0411.png.
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
TOOL="$1"; SHOTS="$2"
# Japanese text needs a font with its glyphs: let Wine's font linking find the system's
# CJK font under the face names it links to.
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
    # A Wine virtual desktop draws window frames (bare Xvfb has no window manager).
    wine explorer /desktop=QKPaper,660x500 "$TOOL" "$lang" 30 >/dev/null 2>&1 &
    app=$!
    shown=0
    for _ in $(seq 1 150); do
        if xwininfo -root -tree 2>/dev/null | grep -q '"QK-R40 paper settings page"'; then
            shown=1
            break
        fi
        sleep 0.2
    done
    sleep 2 # let it paint
    shot="$SHOTS/paper-page-$lang.png"
    if [ "$shown" = 1 ] && import -window root -crop 660x500+0+0 +repage "$shot" 2>/dev/null; then
        echo "screenshots: $shot"
    else
        echo "screenshots: the page did not appear for language $lang" >&2
        status=1
    fi
    kill "$app" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1
    wait "$app" 2>/dev/null
done
exit $status
INNER
bash "$here/xvfb-session.sh" bash "$SHOTS/paper-page-shoot.sh" "$TOOL" "$SHOTS"
