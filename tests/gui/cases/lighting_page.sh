# The lighting page of the real program over the virtual mouse (the first mouse of the
# catalogue: main lighting only, the shipped LedOpt entries): a main mode, a preset colour and
# a red value typed too high, each checked in the mouse's lighting record (0xA0: mode code, red,
# green, blue, speed code, brightness code, check byte) with bytes worked out by hand.

LED_RECORD=0xA0

# led_mode_is CODE "SPEED BRIGHTNESS": the record's mode byte and its speed and brightness codes.
led_mode_is() {
    local b
    read -ra b <<<"$(eeprom_bytes $LED_RECORD 7)"
    [[ "${b[0]} ${b[4]} ${b[5]}" == "$1 $2" ]]
}

gui_case_led_mode_and_colour() {
    page_open led_mode_and_colour 4 || return
    check "the mouse starts in another mode than 5" test "$(eeprom_bytes $LED_RECORD 1)" != "05"
    # The main mode combo at ptLedEft (130, 60), 147 x 30, then the fifth item of its list
    # (modes 1, 2, 3, ... in items 20 pixels high from the combo's bottom edge).
    opening page_click 200 75
    page_click 200 $((90 + 1 + 4 * 20 + 10))
    # Mode 5 is the mouse's code 5 and starts at LedOpt5's speed 6 and brightness 6: the sixth
    # entries of the speed and brightness code tables, both 150.
    check "mode 5 is written with its starting speed and brightness" within 10 led_mode_is 05 "96 96"
    # The ninth preset (46, 167, 224): second row, second swatch, from ptGrid (100, 412).
    page_click $((100 + 40 + 11)) $((412 + 32 + 11))
    # Check byte 0x55 - (05 + 2e + a7 + e0 + 96 + 96) = 0x55 - 0xe6 = 0x6f.
    check "the preset's colour is written with its check byte" within 10 \
        eeprom_is $LED_RECORD 7 "05 2e a7 e0 96 96 6f"
    # The red box (45 x 20 at ptRGBEdit 150, 133): its number replaced by 300, which the page
    # takes as 255; green and blue stay.
    page_click 185 143
    sleep 0.5
    xdotool key --delay 60 End BackSpace BackSpace BackSpace BackSpace
    xdotool type --delay 80 300
    # 0x55 - (05 + ff + a7 + e0 + 96 + 96) = 0x55 - 0xb7 = 0x9e.
    check "red 300 is written as 255" within 10 eeprom_is $LED_RECORD 7 "05 ff a7 e0 96 96 9e"
}

# The red box emptied and "50" typed: the box stays empty while empty (no "0" in front of the
# caret), so the mouse gets red 50, not 500 taken as 255; Tab goes on to green, whose whole
# number is selected, so "60" replaces it.
gui_case_led_colour_boxes() {
    page_open led_colour_boxes 4 || return
    local b
    read -ra b <<<"$(eeprom_bytes $LED_RECORD 7)"
    page_click 185 143
    sleep 0.5
    xdotool key --delay 80 BackSpace
    sleep 0.5
    xdotool type --delay 150 50
    check "red 50 is written, green and blue kept" within 10 led_colour_is "32 ${b[2]} ${b[3]}"
    xdotool key Tab
    sleep 0.3
    xdotool type --delay 150 60
    check "Tab goes to green, and 60 replaces its number" within 10 led_colour_is "32 3c ${b[3]}"
}
led_colour_is() {
    local b
    read -ra b <<<"$(eeprom_bytes $LED_RECORD 7)"
    [[ "${b[1]} ${b[2]} ${b[3]}" == "$1" ]]
}

# A click on the colour wheel writes the colour of the wheel's pixel under it: red, green and
# blue in that order.
gui_case_led_wheel_click() {
    page_open led_wheel_click 4 || return
    # A point of the wheel (173 x 173 at ptGradit 143, 189) away from its centre.
    local x=120 y=50 want
    want=$(convert "$CASE_DIR/skins/color.png" -format \
        '%[fx:int(255*p{120,50}.r+0.5)] %[fx:int(255*p{120,50}.g+0.5)] %[fx:int(255*p{120,50}.b+0.5)]' info:)
    want=$(printf '%02x %02x %02x' $want)
    check "the point is no colour the mouse already has" test "$(eeprom_bytes 0xA1 3)" != "$want"
    page_click $((143 + x)) $((189 + y))
    check "the wheel's colour at the point is written ($want)" within 10 led_colour_is "$want"
}

# The Talon has main and logo lighting: the zone buttons choose which one the mode list, the
# sliders and the colour edit. The logo keeps its own colour (#0080ff in the virtual mouse)
# when its mode changes, and a colour picked for one zone never lands in the other.
LOGO_RECORD=0x54
gui_case_led_talon_zones() {
    GUI_MODEL=2 page_open led_talon_zones 4 || return
    check "the mouse is the Talon" wait_log "cid=10,mid=2b" 5
    local main logo
    main=$(eeprom_bytes $LED_RECORD 7)
    check "the logo starts at #0080ff in mode 1" test "$(eeprom_bytes $LOGO_RECORD 5)" = "00 80 ff d6 01"
    # The logo's zone button, then its mode list's second item (breathing).
    page_click 400 31
    sleep 0.5
    page_click 200 75
    sleep 1
    page_click 200 $((90 + 1 + 1 * 20 + 10))
    check "the logo's mode 2 is written with the logo's own colour" within 10 \
        logo_is "00 80 ff d6 02"
    check "the main lighting is untouched" test "$(eeprom_bytes $LED_RECORD 7)" = "$main"
    # The ninth preset (46, 167, 224) for the logo.
    page_click $((100 + 40 + 11)) $((412 + 32 + 11))
    # 0x55 - (2e + a7 + e0) = 0x55 - 0x1b5 = 0xa0 (low byte).
    check "the preset colours the logo" within 10 logo_is "2e a7 e0 a0 02"
    check "and not the main lighting" test "$(eeprom_bytes $LED_RECORD 7)" = "$main"
    # Back to the main zone: the first preset (255, 0, 0) colours the main lighting only.
    page_click 232 31
    sleep 0.5
    page_click $((100 + 11)) $((412 + 11))
    check "the main zone's preset colours the main lighting" within 10 led_colour_is "ff 00 00"
    check "the logo keeps its colour" logo_is "2e a7 e0 a0 02"
    if [[ -n ${ZV_GUI_SHOTS:-} ]]; then
        page_click 400 31
        sleep 1
        local ox oy geo
        read -r ox oy < <(window_origin)
        geo=$(xdotool getwindowgeometry "$(main_window)" | awk '/Geometry/ {print $2}')
        shot "$GUI_TMP/screen.png"
        convert "$GUI_TMP/screen.png" -crop "${geo}+${ox}+${oy}" +repage \
            "$ZV_GUI_SHOTS/lighting_talon_logo.png"
    fi
}
logo_is() { [[ "$(eeprom_bytes $LOGO_RECORD 5)" == "$1" ]]; }
