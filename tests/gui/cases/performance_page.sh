# The performance page of the real program over the virtual mouse (the first mouse of the
# catalogue: sensor 0x3395, six DPI levels, one value per level): a rate button, a typed DPI
# value, the level count, and the mouse's own DPI button, each checked in the mouse's memory
# with bytes worked out by hand.

# The page's row pitch (29 + DPIH 10).
PERF_ROW=39

# Answers of the mouse to commands, without its own notifications (first byte 0a) and the
# battery poll's answers (04) that the main window's timer asks for every 30 s.
perf_answers() { echo $(($(log_count "Read(") - $(log_count "):  0a ") - $(log_count "):  04 "))); }

# has_colour SCREEN X Y W H R,G,B: some pixels of that page region are near the colour.
has_colour() {
    local ox oy
    read -r ox oy < <(window_origin) || return 1
    local mean
    mean=$(convert "$1" -crop "${4}x${5}+$((ox + PAGE_X + $2))+$((oy + PAGE_Y + $3))" +repage \
        -fuzz 15% -fill white -opaque "rgb($6)" -fuzz 0 -fill black +opaque white -format '%[fx:mean]' info:)
    awk -v m="$mean" 'BEGIN { exit !(m > 0.01) }'
}
# The level name of row N is drawn in clrDpiMark when N is the current level.
level_marked() { has_colour "$2" 43 $((60 + $1 * PERF_ROW)) 44 29 "255,59,92"; }
level2_marked() { level_marked 1 "$1"; }
level3_marked() { level_marked 2 "$1"; }

gui_case_perf_rate_500() {
    page_open perf_rate_500 2 || return
    check "the mouse starts at 1000 Hz" eeprom_is 0x00 2 "01 54"
    # Rate buttons at x 932 from y 73, each RateVSp (67) below the previous one's bottom.
    page_click $((932 + 6)) $((73 + 2 * (12 + 67) + 6))
    # 0x500 is written as 2, with its check byte 0x55 - 2.
    check "500 Hz writes 02 53 at the rate record" within 10 eeprom_is 0x00 2 "02 53"
}

msg_shown() { [[ -n $(xdotool search --onlyvisible --name '^ZorvanMsgTopWindow$' | head -1) ]]; }

gui_case_perf_typed_dpi() {
    page_open perf_typed_dpi 2 || return
    local level1
    level1=$(eeprom_bytes 0x0C 4)
    # Level 2's value label, right of its bar (120 + 650 + 10 ... + 50), double-clicked.
    page_click 800 $((60 + PERF_ROW + 14)) 2
    check "the number entry opens" within 5 msg_shown
    sleep 0.5
    xdotool type --delay 60 1234
    xdotool key Return
    # 1234 snaps to 1250 = code 24 (50 DPI steps from 50); X and Y alike, no high bits, and
    # the check byte 0x55 - 0x18 - 0x18.
    check "level 2's record holds the code of 1250" within 10 eeprom_is 0x10 4 "18 18 00 25"
    check "level 1's record is untouched" eeprom_is 0x0C 4 "$level1"
}

gui_case_perf_level_count() {
    page_open perf_level_count 2 || return
    check "the mouse starts with 6 levels" eeprom_is 0x02 2 "06 4f"
    local upper
    upper=$(eeprom_bytes 0x1C 8)
    # The level-count combo (x1 - 83 ... x1, 25 ... 44 with x1 = 770), then item 4 of the
    # list below it (items 20 pixels high from its bottom edge).
    opening page_click 728 34
    page_click 728 $((44 + 1 + 3 * 20 + 10))
    check "the count 4 is written with its check byte" within 10 eeprom_is 0x02 2 "04 51"
    check "levels 5 and 6 stay in the mouse" eeprom_is 0x1C 8 "$upper"
    # Back to 6: the rows come back with their values, so nothing is written for them.
    opening page_click 728 34
    page_click 728 $((44 + 1 + 5 * 20 + 10))
    check "the count 6 is written again" within 10 eeprom_is 0x02 2 "06 4f"
    # Separate X and Y writes every level (X and Y stay equal): levels 5 and 6 go out again
    # from the profile, so they show whether it kept them.
    page_click 126 $((60 + 5 * PERF_ROW + 29 + 15 + 6))
    check "every level is written" wait_log "nFlag=0x4, nData=0xff" 10
    sleep 1
    check "levels 5 and 6 come back from the profile unchanged" eeprom_is 0x1C 8 "$upper"
}

gui_case_perf_dpi_button() {
    page_open perf_dpi_button 2 || return
    local level cmds
    level=$(eeprom_bytes 0x04 1)
    check "the mouse starts on level 2" test "$level" = "01"
    check "level 2 is marked" eventually level2_marked
    cmds=$(perf_answers)
    check "sim dpi-button is taken" sim dpi-button
    check "the notification reaches the window" wait_log "lParam=1" 5
    check "level 3 is marked" eventually level3_marked
    check "level 2 is no longer marked" eventually level2_unmarked
    sleep 1
    check "no command is sent for the DPI button" test "$(perf_answers)" -eq "$cmds"
}
level2_unmarked() { ! level2_marked "$1"; }

# A value typed above the sensor's highest is stored as the highest, and the page says so; a
# value within the range is taken to the nearest step without a word.
gui_case_perf_typed_above_the_sensor() {
    page_open perf_typed_above 2 || return
    local level2
    level2=$(eeprom_bytes 0x10 4)
    page_click 800 $((60 + PERF_ROW + 14)) 2
    check "the number entry opens" within 5 msg_shown
    sleep 0.5
    xdotool type --delay 60 40000
    xdotool key Return
    check "level 2's record changes" within 10 not_eeprom_is 0x10 4 "$level2"
    check "a message says what was stored" within 5 msg_shown
    sleep 0.5
    xdotool key Return
    check "the message closes" within 5 msg_gone
    page_click 800 $((60 + PERF_ROW + 14)) 2
    check "the number entry opens again" within 5 msg_shown
    sleep 0.5
    xdotool type --delay 60 1234
    xdotool key Return
    check "1234 is stored as 1250" within 10 eeprom_is 0x10 4 "18 18 00 25"
    sleep 1
    check "without a message" msg_gone
}
not_eeprom_is() { ! eeprom_is "$@"; }
msg_gone() { ! msg_shown; }

# A click on a DPI thumb away from its centre, without moving it, changes nothing.
gui_case_perf_thumb_click_keeps_value() {
    page_open perf_thumb_click 2 || return
    local level2
    level2=$(eeprom_bytes 0x10 4)
    # Level 2 stands at 800: step 14 of the 3395's 519 values over 640 pixels from 5, so the
    # thumb's centre is 120 + 5 + 17 = 142; the click lands 5 pixels left of it.
    page_click 137 $((60 + PERF_ROW + 16))
    sleep 1
    check "level 2's record is unchanged" eeprom_is 0x10 4 "$level2"
    check "nothing is written" test "$(log_count "nFlag=0x4,")" -eq 0
}
