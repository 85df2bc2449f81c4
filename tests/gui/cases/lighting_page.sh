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
