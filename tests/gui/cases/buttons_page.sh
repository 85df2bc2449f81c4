# The buttons page on the first mouse of the catalogue (6 buttons, KEYH 12): real clicks on
# its rows and menu, the key capture, the profile selector and restore, checked in the bytes
# the virtual mouse holds afterwards.

# Window coordinates of the page's parts.
page_top() { local _ y; IFS=, read -r _ y _ <<<"$(cfg_get rcSubDlg)"; echo "${y:-160}"; }
row_x() { local x; IFS=, read -r x _ <<<"$(cfg_get ptKey)"; echo $((x + 111)); }
# row_y I: the middle of row I (0-based).
row_y() {
    local y keyh
    IFS=, read -r _ y <<<"$(cfg_get ptKey)"
    keyh=$(awk -F= '/^\[DEV_1\]/ {d = 1} d && /^KEYH=/ {print $2; exit}' "$CASE_DIR/cfg.ini" | tr -d '\r')
    echo $(($(page_top) + y + $1 * (19 + keyh) + 9))
}
menu_item_h() { identify -format '%h' "$CASE_DIR/skins/menu_nr.png"; }
# pick_function ROW ITEM: clicks row ROW and the ITEM-th (0-based) entry of its menu, which
# opens under the row with a 1-pixel border.
pick_function() {
    local h top
    h=$(menu_item_h)
    top=$(($(row_y "$1") - 9 + 19))
    opening click "$(row_x)" "$(row_y "$1")"
    click "$(row_x)" $((top + 1 + $2 * h + h / 2))
}
# The top-level entries of the first mouse's menu (fire key, pro switch, RGB and rate shown;
# no rgb-switch default, no extra keys): 9 tc_combokey, 10 tc_key_off.
MENU_COMBO=9
MENU_KEY_OFF=10

# matrix SLOT: the 4-byte key-matrix record of slot SLOT (1-based).
matrix() { eeprom $((0x60 + 4 * ($1 - 1))) 4 | tr -s ' \r\n' ' ' | sed 's/ $//'; }
matrix_is() { [[ "$(matrix "$1")" == "$2" ]]; }

start_page() {
    app_start
    check "the window appears" wait_window 40
    check "the first read ends" wait_log "OnSyncOk" 30
    check "the page shows the profile" wait_log "CKeyDlg shows profile" 10
    sleep 1
}

gui_case_key_off_writes_no_function() {
    case_begin key_off ApplyNow=1
    start_page
    # Row 2 is the right button, matrix slot 2: 01 02 00 and its check byte 0x55 - 3.
    check "row 2 starts as the right button" matrix_is 2 "01 02 00 52"
    pick_function 1 $MENU_KEY_OFF
    # "No function" is code 0: 00 00 00 and the check byte 0x55.
    check "row 2 becomes no function" within 10 matrix_is 2 "00 00 00 55"
    check "the other buttons keep theirs" matrix_is 1 "01 01 00 53"
}

gui_case_combination_through_key_capture() {
    case_begin combo ApplyNow=1 ComboRec=0
    start_page
    pick_function 2 $MENU_COMBO
    check "the key capture opens" wait_for_message 10
    xdotool key ctrl+shift+a
    sleep 0.5
    click_message_ok_at 226
    # Ctrl+Shift+A: 6 events (Ctrl, Shift, A down; Ctrl, Shift, A up), the usage of A is 4;
    # the check byte 0x55 - 0x56. The combination sits in slot 3's record at 0x100 + 2 * 32.
    check "the combination record" within 10 combo_is \
        "06 80 01 00 80 02 00 81 04 00 40 01 00 40 02 00 41 04 00 FF"
    check "row 3's matrix entry points at it (code 5)" matrix_is 3 "05 00 00 50"
}
combo_is() { [[ "$(eeprom 0x140 20 | tr -s ' \r\n' ' ' | sed 's/ $//')" == "$1" ]]; }

gui_case_only_left_click_stays() {
    case_begin left_click ApplyNow=1
    start_page
    local before
    before=$(eeprom 0x60 64)
    pick_function 0 $MENU_KEY_OFF
    check "tc_msg1 is shown" wait_for_message 10
    click_message_ok_at 226
    sleep 2
    check "no byte of the matrix or the combinations changed" \
        test "$(eeprom 0x60 64)" == "$before"
    check "nothing was written" test "$(log_count "Set Key --------")" -eq 0
}

gui_case_profile_selector_switches_the_mouse() {
    case_begin profile_switch ApplyNow=1
    start_page
    local x y h
    x=$(($(row_x) + 111 - 55))
    y=$(($(page_top) + 35))
    h=$(menu_item_h)
    opening click "$x" "$y"
    # The list opens under the selector (20 to 50 on the page), entry 3 is the third.
    click "$x" $(($(page_top) + 50 + 1 + 2 * h + h / 2))
    check "the virtual mouse is on profile 3" within 10 grep -q '^profile=2' "$STATE"
    check "the page shows profile 3 after the mouse's notification" \
        wait_log "CKeyDlg shows profile 2" 20
}

gui_case_restore_brings_factory_settings_back() {
    case_begin restore ApplyNow=1
    start_page
    pick_function 1 $MENU_KEY_OFF
    check "row 2 became no function" within 10 matrix_is 2 "00 00 00 55"
    click 762 $(($(page_top) + 486))
    check "the reset asks first" wait_for_message 10
    # The question's OK is the left of its two buttons.
    click_message_ok_at 176
    # 0x8000: the reset waits for the progress window before it writes.
    check "the reset runs behind the progress window" wait_log "nFlag=0x8100" 20
    check "row 2 is the right button again" within 20 matrix_is 2 "01 02 00 52"
}

# A mouse that wants reading after its reset is read once more, a moment later, without the
# window stopping for that moment (and only once: the moment is not a repeating one).
gui_case_restore_then_read_again_once() {
    case_begin restore_read ApplyNow=1 InitOnReset=1
    start_page
    click 762 $(($(page_top) + 486))
    check "the reset asks first" wait_for_message 10
    # A hand reads the question before it answers.
    sleep 1
    click_message_ok_at 176
    check "the reset runs behind the progress window" wait_log "nFlag=0x8100" 20
    check "the mouse is read again after the reset" wait_log "OnSyncOk" 30 2
    sleep 3
    check "and only once" test "$(log_count "OnSyncOk")" -eq 2
}

# click_message_ok_at X: a click at (X, 123) of the message window (OK alone sits at 186-266,
# the question's OK at 136-216).
click_message_ok_at() {
    local w ox oy
    w=$(message_window)
    [[ -n $w ]] || return 1
    read -r ox oy < <(xdotool getwindowgeometry "$w" | awk '/Position/ {split($2, p, ","); print p[1], p[2]}')
    xdotool mousemove $((ox + $1)) $((oy + 123)) click 1
}
