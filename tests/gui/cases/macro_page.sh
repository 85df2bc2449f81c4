# The macro page on the real program: a new macro named "hid", "A" recorded with auto-delay and
# saved; the macro file then holds A pressed and A released. Then the same macro on button 3
# through the buttons page's picker, read back from the mouse, and deleted again. ZV_GUI_SHOTS=DIR also keeps a
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

# Window coordinates of the macro page's parts (the page starts 160 pixels down).
MACRO_PAGE_Y=160
macro_navi() {
    local nx ny navi_w
    IFS=, read -r nx ny <<<"$(cfg_get ptNavi)"
    navi_w=$(cfg_get NaviW)
    [[ ${navi_w:-0} -gt 0 ]] || navi_w=64
    # $1: 0 the buttons page, 2 the macro page.
    click $((nx + $1 * navi_w + 20)) $((ny + 24))
    sleep 1
}

# record_hid [ROW]: on the macro page, a new macro "hid" with "A" pressed and released
# recorded (auto-delay on, as the page starts) and saved; ROW is the tree row it lands on
# (0 when the tree was empty).
record_hid() {
    local row_y=$((MACRO_PAGE_Y + 95 + 20 * ${1:-0}))
    macro_navi 2
    # New, below the tree's left half; the name box takes "hid".
    click 156 $((MACRO_PAGE_Y + 482))
    check "the name box opens" within 10 macro_dialog_shown
    xdotool type --delay 50 hid
    xdotool key Return
    check "the name box closes" within 10 macro_dialog_gone
    click 150 "$row_y"
    sleep 0.5
    click 836 $((MACRO_PAGE_Y + 70))
    sleep 0.5
    xdotool keydown a
    sleep 0.2
    xdotool keyup a
    sleep 0.3
    click 836 $((MACRO_PAGE_Y + 70))
    sleep 0.5
    click 796 $((MACRO_PAGE_Y + 409))
    sleep 1
}

gui_case_macro_page_records() {
    case_begin macro_page ShowMacro=1 MinUIDelay=10 MacroDir=1
    # A folder, for the picture to show one; the new macro goes below it.
    mkdir -p "$LOCALAPPDATA/ZvGui_macro_page/Mac/Games"
    app_start
    check "the window appears" wait_window 40
    check "the first read ends in OnSyncOk" wait_log "OnSyncOk" 30
    within 10 macro_dialog_gone
    record_hid 1
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

# macro_delay FILE: the delay after the first event of a macro file, in milliseconds.
macro_delay() {
    python3 - "$1" <<'PY'
import struct, sys
raw = open(sys.argv[1], "rb").read()
b = bytes(((x << 2) | (x >> 6)) & 0xFF for x in raw)
print(struct.unpack_from("<I", b, 20 + 80 + 4 + 2 + 4)[0])
PY
}

# picker_click X Y: a click at (X, Y) of the macro picker's window.
picker_click() {
    local w ox oy
    w=$(macro_dialog)
    [[ -n $w ]] || return 1
    read -r ox oy < <(xdotool getwindowgeometry "$w" | awk '/Position/ {split($2, p, ","); print p[1], p[2]}')
    xdotool mousemove $((ox + $1)) $((oy + $2)) click 1
}

# The buttons page's menu entry of the macro function on the first mouse (after tc_key_off).
MENU_MACRO=11
# Button 3 uses key slot 3: its macro area starts at 0x300 + 2 * 0x180.
SLOT3_MACRO=0x600

gui_case_macro_on_a_button_then_deleted() {
    case_begin macro_button ShowMacro=1 MinUIDelay=10 ApplyNow=1
    app_start
    check "the window appears" wait_window 40
    check "the first read ends in OnSyncOk" wait_log "OnSyncOk" 30
    check "row 3 starts as the middle button" matrix_is 3 "01 04 00 50"
    record_hid
    local file="$LOCALAPPDATA/ZvGui_macro_button/Mac/hid.qzm"
    check "hid.qzm is written" test -f "$file"

    macro_navi 0
    local ox oy before="$GUI_TMP/row3_before.png"
    shot "$GUI_TMP/screen.png"
    read -r ox oy < <(window_origin)
    convert "$GUI_TMP/screen.png" -crop "200x19+$((ox + $(row_x) - 100))+$((oy + $(row_y 2) - 9))" \
        +repage "$before"
    pick_function 2 $MENU_MACRO
    check "the macro picker opens" within 10 macro_dialog_shown
    # "hid" is the tree's only item, on its first row; then OK.
    picker_click 75 90
    sleep 0.5
    picker_click 250 312
    check "the picker closes" within 10 macro_dialog_gone

    # The macro as the mouse holds it, worked out by hand: the name's length in bytes and its
    # UTF-16 characters in 31 bytes, the event count 2, A down (type 81, usage 04) with the
    # recorded delay high byte first, A up (41 04) with none, the check byte 0x55 minus the
    # count and event bytes, and the end mark.
    local d hi lo sum expected
    d=$(macro_delay "$file")
    check "the recorded delay is at least MinUIDelay" test "$d" -ge 10
    hi=$((d >> 8))
    lo=$((d & 0xFF))
    sum=$((2 + 0x81 + 0x04 + hi + lo + 0x41 + 0x04))
    expected="06 68 00 69 00 64 00"
    for _ in $(seq 24); do expected+=" 00"; done
    expected+=$(printf ' 02 81 04 00 %02X %02X 41 04 00 00 00 %02X 00 00 00' \
        "$hi" "$lo" $(((0x55 - sum) & 0xFF)))
    check "slot 3's macro area holds hid" within 10 macro_area_is "$expected"
    # Macro code 06, the slot index 2, repeat count 1; check byte 0x55 - 9.
    check "row 3's matrix entry plays it" matrix_is 3 "06 02 01 4C"

    # The macro already on button 3 gets another play mode (the first radio: while the button
    # is held) and is saved: the mouse's entry for button 3 follows at once, the macro's events
    # staying as they were.
    macro_navi 2
    click 150 $((MACRO_PAGE_Y + 95))
    sleep 0.5
    click $((756 + 6)) $((MACRO_PAGE_Y + 158 + 6))
    sleep 0.5
    click 796 $((MACRO_PAGE_Y + 409))
    # Macro code 06, slot 2, repeat byte FE (while held); check byte 0x55 - 0x106.
    check "saving writes button 3's new play mode to the mouse" within 10 matrix_is 3 "06 02 FE 4F"
    check "slot 3's macro area still holds hid" macro_area_is "$expected"

    # Deleting the macro on the macro page gives button 3 its default back, on the page and in
    # the mouse.
    macro_navi 2
    click 150 $((MACRO_PAGE_Y + 95))
    sleep 0.5
    click 269 $((MACRO_PAGE_Y + 482))
    check "the delete asks first" within 10 macro_dialog_shown
    click_message_ok_at 176
    check "the question closes" within 10 macro_dialog_gone
    check "row 3 is the middle button again" within 10 matrix_is 3 "01 04 00 50"
    check "hid.qzm is gone" test ! -e "$file"
    macro_navi 0
    shot "$GUI_TMP/screen.png"
    check "row 3 shows its default caption again" \
        region_like "$GUI_TMP/screen.png" $(($(row_x) - 100)) $(($(row_y 2) - 9)) 200 19 "$before"
}
macro_area_is() { [[ "$(eeprom $SLOT3_MACRO 46 | tr -s ' \r\n' ' ' | sed 's/ $//')" == "$1" ]]; }
