# The real program driven by the keyboard alone, after one click that gives its window the
# focus: Ctrl+2 shows the performance page, Tab walks to the polling rate, an arrow chooses
# another rate, and the rate reaches the virtual mouse's memory.

# Tabs from the performance page's own button to the chosen polling rate, as the page's Tab
# order is pinned by the keyboard test under Wine: the level count, the current-level group,
# the first level's colour box, its bar and its value, then the rate group at its chosen button.
KEYS_TABS_TO_RATE=6

keys_press() { xdotool key --delay 120 "$@"; sleep 0.3; }

gui_case_keys_rate_by_keyboard() {
    case_begin keys_rate_by_keyboard
    app_start
    check "the window appears" wait_window 40 || return
    check "the first read ends in OnSyncOk" wait_log "OnSyncOk" 30
    check "the mouse starts at 1000 Hz" eeprom_is 0x00 2 "01 54"
    local level1
    level1=$(eeprom_bytes 0x0C 4)
    # The one click: on the buttons page's navigation button, which takes the focus.
    local nx ny
    IFS=, read -r nx ny <<<"$(cfg_get ptNavi)"
    click $((nx + 20)) $((ny + 24))
    sleep 1
    keys_press ctrl+2
    local k
    for k in $(seq "$KEYS_TABS_TO_RATE"); do
        keys_press Tab
        [[ $k -eq 3 ]] && shot "$GUI_TMP/keys_focus_colour.png"
    done
    shot "$GUI_TMP/keys_focus_ring.png"
    keys_press Up
    # 500 Hz: a 2 ms interval and its check byte 0x55 - 2.
    check "Up from 1000 Hz writes 500 Hz (02 53)" within 10 eeprom_is 0x00 2 "02 53"
    keys_press Up
    check "Up again writes 250 Hz (04 51)" within 10 eeprom_is 0x00 2 "04 51"
    # Back to the first level's bar (past its value): End takes it to the sensor's top value.
    keys_press shift+Tab shift+Tab
    keys_press End
    shot "$GUI_TMP/keys_focus_slider.png"
    check "End writes the first level's top value" within 10 eeprom_bytes_differ 0x0C 4 "$level1"
}
eeprom_bytes_differ() { [[ "$(eeprom_bytes "$1" "$2")" != "$3" ]]; }
