# The lighting page of the real program over the virtual mouse (the first mouse of the
# catalogue: main lighting only, the shipped LedOpt entries): a main mode, a preset colour and
# a red value typed too high, each checked in the mouse's lighting record (0xA0: mode code, red,
# green, blue, speed code, brightness code, check byte) with bytes worked out by hand.

# The page's place in the window (rcSubDlg).
LED_X=0
LED_Y=160
LED_RECORD=0xA0

# led_click X Y: a click at page coordinates.
led_click() {
    local ox oy
    read -r ox oy < <(window_origin) || return 1
    xdotool mousemove $((ox + LED_X + $1)) $((oy + LED_Y + $2)) click 1
}

# led_open NAME: the program started with the lighting page shown after the first read.
led_open() {
    case_begin "$1"
    app_start
    check "the window appears" wait_window 40 || return 1
    check "the first read ends in OnSyncOk" wait_log "OnSyncOk" 30
    local nx ny
    IFS=, read -r nx ny <<<"$(cfg_get ptNavi)"
    # navi4 is the lighting page (NaviW 0: 64 pixels a button).
    click $((nx + 3 * 64 + 20)) $((ny + 24))
    sleep 1
}

# led_mode_is CODE "SPEED BRIGHTNESS": the record's mode byte and its speed and brightness codes.
led_mode_is() {
    local b
    read -ra b <<<"$(eeprom_bytes $LED_RECORD 7)"
    [[ "${b[0]} ${b[4]} ${b[5]}" == "$1 $2" ]]
}

gui_case_led_mode_and_colour() {
    led_open led_mode_and_colour || return
    check "the mouse starts in another mode than 5" test "$(eeprom_bytes $LED_RECORD 1)" != "05"
    # The main mode combo at ptLedEft (130, 60), 147 x 30, then the fifth item of its list
    # (modes 1, 2, 3, ... in items 20 pixels high from the combo's bottom edge).
    led_click 200 75
    sleep 1
    led_click 200 $((90 + 1 + 4 * 20 + 10))
    # Mode 5 is the mouse's code 5 and starts at LedOpt5's speed 6 and brightness 6: the sixth
    # entries of the speed and brightness code tables, both 150.
    check "mode 5 is written with its starting speed and brightness" within 10 led_mode_is 05 "96 96"
    # The ninth preset (46, 167, 224): second row, second swatch, from ptGrid (100, 412).
    led_click $((100 + 40 + 11)) $((412 + 32 + 11))
    # Check byte 0x55 - (05 + 2e + a7 + e0 + 96 + 96) = 0x55 - 0xe6 = 0x6f.
    check "the preset's colour is written with its check byte" within 10 \
        eeprom_is $LED_RECORD 7 "05 2e a7 e0 96 96 6f"
    # The red box (45 x 20 at ptRGBEdit 150, 133): its number replaced by 300, which the page
    # takes as 255; green and blue stay.
    led_click 185 143
    sleep 0.5
    xdotool key --delay 60 End BackSpace BackSpace BackSpace BackSpace
    xdotool type --delay 80 300
    # 0x55 - (05 + ff + a7 + e0 + 96 + 96) = 0x55 - 0xb7 = 0x9e.
    check "red 300 is written as 255" within 10 eeprom_is $LED_RECORD 7 "05 ff a7 e0 96 96 9e"
}
