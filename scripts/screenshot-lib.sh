# Sourced inside a display session (scripts/xvfb-session.sh) by the screenshot scripts: what
# each of them needs to show a window of the utility and photograph it.

# Japanese text needs a font with its glyphs: let Wine's font linking find the system's CJK
# font (Debian's fonts-wqy-microhei) under the face names it links to.
shot_fonts() {
    if fc-list :lang=ja 2>/dev/null | grep -q .; then
        local cjk face
        cjk="$(fc-list :lang=ja family | head -1 | cut -d, -f1)"
        for face in "MS UI Gothic" "MS Gothic" "SimSun"; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$cjk" /f >/dev/null 2>&1
        done
    else
        echo "screenshots: no Japanese font installed (apt-get install fonts-wqy-microhei)" >&2
    fi
}

# shot_language SETTING.INI LANGID: the language the utility starts in.
shot_language() {
    sed -i "s/^LANGID=.*/LANGID=$2/" "$1"
    grep -q '^LANGID=' "$1" || printf '[LANGUAGE]\r\nLANGID=%s\r\n' "$2" >> "$1"
}

# shot_start NAME WxH PROGRAM ARGS...: the program on a Wine virtual desktop of that size (it
# draws window frames; bare Xvfb has no window manager). Sets SHOT_APP and SHOT_SIZE.
# The size is for 96 DPI; at QK_SHOT_DPI the desktop grows with the windows, within the
# 1280x1024 screen.
shot_start() {
    local name="$1" size="$2" dpi="${QK_SHOT_DPI:-96}" w h
    shift 2
    w=$(( ${size%x*} * dpi / 96 )); h=$(( ${size#*x} * dpi / 96 ))
    size="$(( w < 1280 ? w : 1280 ))x$(( h < 1024 ? h : 1024 ))"
    SHOT_SIZE="$size"
    SHOT_DESKTOP="$name,$size"
    wine explorer "/desktop=$SHOT_DESKTOP" "$@" >/dev/null 2>&1 &
    SHOT_APP=$!
}

# shot_poke ARGS...: window_poke.exe (SHOT_POKE) on the program's desktop, where it can see
# the program's windows: "click ID".
shot_poke() {
    wine explorer "/desktop=$SHOT_DESKTOP" "$SHOT_POKE" "$@" >/dev/null 2>&1
}

# shot_wait TITLE [SECONDS]: waits until a window with that title is on the screen.
shot_wait() {
    local tries=$(( ${2:-30} * 5 ))
    for _ in $(seq 1 "$tries"); do
        xwininfo -root -tree 2>/dev/null | grep -qF "\"$1\"" && return 0
        sleep 0.2
    done
    return 1
}

# shot_take FILE: the virtual desktop as a PNG.
shot_take() {
    if import -window root -crop "$SHOT_SIZE+0+0" +repage "$1" 2>/dev/null; then
        echo "screenshots: $1"
    else
        echo "screenshots: could not take $1" >&2
        return 1
    fi
}

# shot_end: ends the program and the Wine server (a fresh one for the next program).
shot_end() {
    kill "$SHOT_APP" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1
    wait "$SHOT_APP" 2>/dev/null
}

# shot_simulator WORK [PORT [ARGS...]]: the printer simulator on free ports (started again
# after each shot_end, since the Wine server ends with it), with the further arguments,
# reached through the serial port name PORT (default QKSHOT) of the library's device map in
# WORK/comm. Sets SHOT_CONTROL, the control port.
shot_simulator() {
    local work="$1" portfile="$1/sim.ports" name="${2:-QKSHOT}" data
    shift $(( $# < 2 ? $# : 2 ))
    rm -f "$portfile"
    wine QKPrinterSim.exe --port 0 --control-port 0 --port-file "$(winepath -w "$portfile")" \
        "$@" >/dev/null 2>&1 &
    for _ in $(seq 1 100); do [ -s "$portfile" ] && break; sleep 0.2; done
    read -r data SHOT_CONTROL < "$portfile" || return 1
    SHOT_CONTROL="${SHOT_CONTROL%$'\r'}"
    printf '[COM]\r\n%s=127.0.0.1:%s\r\n[Features]\r\n2=1\r\n' "$name" "$data" > "$work/comm/DeviceMap.ini"
}

# shot_printer COMMAND...: one command on the simulator's control channel.
shot_printer() {
    wine QKPrinterSim.exe --control "$SHOT_CONTROL" "$@" >/dev/null 2>&1
}
