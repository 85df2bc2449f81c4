# Every page shows the profile the mouse holds after every read, whichever page was visible:
# a profile switch by the mouse's own button and by the buttons page's selector, and an
# imported profile, each made while the performance and lighting pages were hidden. What those
# pages show is compared with their skin pictures where a control must be or must not be.

# The performance page's row 5 (its DPI bar, 120 ... 770 across, 39 pixels a row from 60).
perf_row5_shown() { page_region_drawn "$1" 130 $((60 + 4 * 39)) 620 29 adv_nr.png; }
perf_row5_hidden() { page_region_like "$1" 130 $((60 + 4 * 39)) 620 29 adv_nr.png; }
perf_row4_hidden() { page_region_like "$1" 130 $((60 + 3 * 39)) 620 29 adv_nr.png; }
perf_row3_shown() { page_region_drawn "$1" 130 $((60 + 2 * 39)) 620 29 adv_nr.png; }
# The lighting page's speed slider at ptSpeed (558, 423), 261 wide.
led_speed_shown() { page_region_drawn "$1" 558 418 261 20 led_nr.png; }
led_speed_hidden() { page_region_like "$1" 558 418 261 20 led_nr.png; }

# wait_read N: the Nth profile read is over and its waiting message gone.
wait_read() { wait_log "OnSyncOk" 30 "$1" && within 10 message_gone_now; }
message_gone_now() { ! message_shown; }

gui_case_pages_follow_profile_changes() {
    page_open profile_pages 2 || return
    # Profile 1: four levels (the level-count combo, its fourth item).
    page_click 728 34
    sleep 1
    page_click 728 $((44 + 1 + 3 * 20 + 10))
    check "profile 1 gets four levels" within 10 eeprom_is 0x02 2 "04 51"
    check "rows 5 and 6 are hidden" eventually perf_row5_hidden
    # Profile 1: steady lighting, which has no speed (the main mode list's first item).
    show_page 4
    page_click 200 75
    sleep 1
    page_click 200 $((90 + 1 + 0 * 20 + 10))
    check "steady has no speed slider" eventually led_speed_hidden

    # The mouse's own profile button, seen on the buttons page: profile 2, six levels,
    # breathing.
    show_page 1
    check "sim profile-button is taken" sim profile-button
    check "profile 2 is read" wait_read 2
    show_page 2
    check "the performance page shows profile 2's six levels" eventually perf_row5_shown
    show_page 4
    check "the lighting page shows profile 2's speed" eventually led_speed_shown

    # Back to profile 1 with the selector on the buttons page (its first item).
    show_page 1
    page_click 238 35
    sleep 1
    page_click 238 $((50 + 1 + 0 * 20 + 10))
    check "profile 1 is read" wait_read 3
    show_page 4
    check "the lighting page shows steady again, without a speed" eventually led_speed_hidden
    show_page 2
    check "the performance page shows four levels again" eventually perf_row5_hidden

    # An exported profile of another mouse of the same model with three levels, imported
    # while the buttons page is shown.
    local other="$GUI_TMP/other" file="$GUI_TMP/three.qza"
    mkdir -p "$other"
    "$CLI" --cfg "$CASE_DIR/cli/cfg.ini" --data-dir "$other" --sim="$other/mouse.state" \
        set dpi-count 3 >/dev/null 2>&1
    "$CLI" --cfg "$CASE_DIR/cli/cfg.ini" --data-dir "$other" --sim="$other/mouse.state" \
        profile export "$file" >/dev/null 2>&1
    check "the three-level profile is exported" test -s "$file"
    show_page 1
    page_click 952 486
    check "the file dialog opens" within 10 file_dialog_shown
    sleep 1
    xdotool type --delay 20 "$(winpath "$file")"
    xdotool key Return
    check "the import ends" wait_log "ImportProfile: g_nCurDpiLevel" 20
    check "the mouse gets three levels" within 20 eeprom_is 0x02 2 "03 52"
    within 20 message_gone_now
    show_page 2
    check "the performance page shows the three imported levels" eventually perf_row4_hidden
    check "and the third of them" eventually perf_row3_shown
}
file_dialog_shown() { [[ -n $(xdotool search --onlyvisible --name "^Open\$" 2>/dev/null | head -1) ]]; }
