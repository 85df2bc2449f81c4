# The macro page on the real program: a new macro named "hid", "A" recorded with auto-delay and
# saved; the macro file then holds A pressed and A released. ZV_GUI_SHOTS=DIR also keeps a
# screenshot of the page with the recorded macro.

macro_dialog() { xdotool search --onlyvisible --name "^ZorvanMsgTopWindow\$" 2>/dev/null | head -1; }
macro_dialog_shown() { [[ -n $(macro_dialog) ]]; }
macro_dialog_gone() { ! macro_dialog_shown; }

# macro_events FILE: the file's first two events as "code flags" lines (bytes rotated back).
macro_events() {
    python3 - "$1" <<'PY'
import struct, sys
raw = open(sys.argv[1], "rb").read()
b = bytes(((x << 2) | (x >> 6)) & 0xFF for x in raw)
# magic, id, flags, auto-delay, loop mode (4 bytes each), the 40-unit name, reserved (4),
# count (2), then the 8-byte events
off = 20 + 80 + 4 + 2
for i in range(2):
    code, flags, delay = struct.unpack_from("<hHI", b, off + 8 * i)
    print(code, flags & 1)
PY
}

gui_case_macro_page_records() {
    case_begin macro_page ShowMacro=1 MinUIDelay=10
    app_start
    check "the window appears" wait_window 40
    check "the first read ends in OnSyncOk" wait_log "OnSyncOk" 30
    within 10 macro_dialog_gone
    local nx ny navi_w page_y=160
    IFS=, read -r nx ny <<<"$(cfg_get ptNavi)"
    navi_w=$(cfg_get NaviW)
    [[ ${navi_w:-0} -gt 0 ]] || navi_w=64
    click $((nx + 2 * navi_w + 20)) $((ny + 24))
    sleep 1
    # New, below the tree's left half; the name box takes "hid".
    click 156 $((page_y + 482))
    check "the name box opens" within 10 macro_dialog_shown
    xdotool type --delay 50 hid
    xdotool key Return
    check "the name box closes" within 10 macro_dialog_gone
    click 150 $((page_y + 95))
    sleep 0.5
    click 836 $((page_y + 70))
    sleep 0.5
    xdotool keydown a
    sleep 0.2
    xdotool keyup a
    sleep 0.3
    click 836 $((page_y + 70))
    sleep 0.5
    click 796 $((page_y + 409))
    sleep 1
    local file="$LOCALAPPDATA/ZvGui_macro_page/Mac/hid.qzm"
    check "hid.qzm is written" test -f "$file"
    check "it holds A pressed then A released" \
        test "$(macro_events "$file" | tr '\n' ' ')" = "65 1 65 0 "
    if [[ -n ${ZV_GUI_SHOTS:-} ]]; then
        local ox oy geo w
        read -r ox oy < <(window_origin)
        w=$(main_window)
        geo=$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {print $2}')
        shot "$GUI_TMP/screen.png"
        convert "$GUI_TMP/screen.png" -crop "${geo}+${ox}+${oy}" +repage \
            "$ZV_GUI_SHOTS/main_macro_recorded.png"
    fi
}
