#!/usr/bin/env bash
# Screenshots of a settings page in English, German and Japanese, for a person to judge the
# layout: the page shown alone (factory values, no printer needed) by paper_page_shot.exe,
# once per language, on a private Xvfb display. PAGE is paper (the paper and print settings
# page, the default) or logo (the logo page, with a sample picture opened so the preview
# shows) or info (the printer information page, with a sample printer).
# Usage: scripts/screenshots-paper-page.sh [BUILD] [PAGE]   (default: build paper)
# Leaves BUILD/screenshots/PAGE-page-0409.png, -0407.png and -0411.png.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-build}"
PAGE="${2:-paper}"
case "$PAGE" in
    paper) LIB=QKUPAPERSTG.dll; TITLE="QK-R40 paper settings page" ;;
    logo) LIB=QKULOGOSTG.dll; TITLE="QK-R40 logo page" ;;
    info) LIB=QKUPRNINFO.dll; TITLE="QK-R40 printer information page" ;;
    *) echo "screenshots: PAGE is paper, logo or info" >&2; exit 2 ;;
esac
TOOL="$BUILD/tests/bin/paper_page_shot.exe"
[ -f "$TOOL" ] || { echo "screenshots: no $TOOL; run make build first" >&2; exit 1; }
# At another DPI than 96 (QK_SHOT_DPI, with WINEPREFIX a prefix of that DPI) in a folder of its own.
SHOTS="$(cd "$BUILD" && pwd)/screenshots${QK_SHOT_DPI:+/${QK_SHOT_DPI}dpi}"
mkdir -p "$SHOTS"
TOOL="$(cd "$(dirname "$TOOL")" && pwd)/$(basename "$TOOL")"

cat > "$SHOTS/$PAGE-page-shoot.sh" <<'INNER'
#!/usr/bin/env bash
# Inside the display session: one screenshot per language.
set -uo pipefail
TOOL="$1"; SHOTS="$2"; HERE="$3"; PAGE="$4"; LIB="$5"; TITLE="$6"
source "$HERE/screenshot-lib.sh"
shot_fonts
status=0
for lang in 0409 0407 0411; do
    shot_start QKPage 660x500 "$TOOL" "$lang" 30 "$LIB"
    if shot_wait "$TITLE"; then
        sleep 4 # let it paint (and the logo page open its sample picture)
        shot_take "$SHOTS/$PAGE-page-$lang.png" || status=1
    else
        echo "screenshots: the page did not appear for language $lang" >&2
        status=1
    fi
    shot_end
done
exit $status
INNER
bash "$here/xvfb-session.sh" bash "$SHOTS/$PAGE-page-shoot.sh" "$TOOL" "$SHOTS" "$here" "$PAGE" \
    "$LIB" "$TITLE"
