# The main window: start and first read, the mouse's own DPI button, the receiver leaving and
# returning, a second start, a hidden start, and a start without a receiver.

message_gone() { ! message_shown; }
# wait_ready: the first read is over and its waiting message gone, so the window takes clicks.
wait_ready() { wait_log "OnSyncOk" 30 && within 10 message_gone; }

# The window's background as the program chooses it: the mouse's own (by the CID and MID it
# logged), else the general one.
main_background() {
    local ids cid mid
    ids=$(grep -ao 'OnFindDeviceOK: cid=[0-9a-f]*,mid=[0-9a-f]*' "$LOG" | tail -1)
    cid=${ids#*cid=}
    cid=${cid%%,*}
    mid=${ids##*mid=}
    local dir
    dir=$(printf '%02x%02x' "0x${cid:-0}" "0x${mid:-0}")
    if [[ -n $ids && -f "$CASE_DIR/skins/$dir/key_nr.png" ]]; then
        printf '%s' "$dir/key_nr.png"
    else
        printf 'key_nr.png'
    fi
}

# The top of the battery indicator (above its percentage text) at ptPower shows level
# picture N over the window's background.
battery_shows() {
    local screen=$1 n=$2 x y
    IFS=, read -r x y <<<"$(cfg_get ptPower)"
    skin_part "$(main_background)" "$x" "$y" 37 20 "$GUI_TMP/bat_bg.png"
    convert "$GUI_TMP/bat_bg.png" \( "$CASE_DIR/skins/power$n.png" -crop 37x20+0+0 +repage \) \
        -composite "$GUI_TMP/bat_want.png"
    region_like "$screen" "$x" "$y" 37 20 "$GUI_TMP/bat_want.png"
}
# eventually CHECK ARGS...: the screen is taken again until CHECK passes on it (10 s at most),
# since the window paints after the log line that announced it.
eventually() {
    local i
    for i in $(seq 20); do
        shot "$GUI_TMP/screen.png"
        "$@" "$GUI_TMP/screen.png" && return 0
        sleep 0.5
    done
    return 1
}
battery_shows_4() { battery_shows "$1" 4; }
battery_hidden() {
    local x y
    IFS=, read -r x y <<<"$(cfg_get ptPower)"
    skin_part "$(main_background)" "$x" "$y" 37 20 "$GUI_TMP/bat_bg.png"
    region_like "$1" "$x" "$y" 37 20 "$GUI_TMP/bat_bg.png"
}

# Answers of the mouse the service thread logged ("Read(...)" records), without its own
# notifications (first byte 0a): one per command sent.
answers() { echo $(($(log_count "Read(") - $(log_count "):  0a "))); }

# One program run for the device's life: start, DPI button, unplug, replug.
gui_case_device_life() {
    case_begin device_life
    app_start
    check "the window appears" wait_window 40
    check "the first read ends in OnSyncOk" wait_log "OnSyncOk" 30
    # The virtual mouse starts at 85 %: the fourth picture of PowerCritical 25/50/75/100.
    check "the battery indicator shows the level picture" eventually battery_shows_4

    local cmds level
    cmds=$(answers)
    check "sim dpi-button is taken" sim dpi-button
    check "the notification reaches the window" wait_log "lParam=1" 5
    level=$(eeprom 0x04 1 | tr -d ' \n\r')
    check "the window takes the mouse's new level ($level)" \
        wait_log "OnDeviceBehavior  Buffer= $((16#$level)) 0 0, nPopByte1=0, lParam=1" 2
    sleep 1
    check "no command is sent for the DPI button" test "$(answers)" -eq "$cmds"

    check "sim unplug is taken" sim unplug
    check "Device OUT" wait_log "Device OUT" 5
    check "the attribute read fails with 1167" wait_log "GetVersionNumber, Err=0x48f" 5
    check "one discovery pass is scheduled" wait_log "SetTimer FINDDEV_TIMER_ID, m_nRetryFind=1" 5
    check "the pass runs and finds nothing" wait_log "OnTimer: FindHIDDevice=0" 5
    check "the battery indicator is hidden" eventually battery_hidden
    check "the no-mouse notice appears" eventually no_mouse_notice_shown
    sleep 1.5
    check "only one pass ran" test "$(log_count "OnTimer: FindHIDDevice")" -eq 1

    check "sim replug is taken" sim replug
    check "Device IN" wait_log "Device IN" 5
    check "passes every 1500 ms (5 allowed)" wait_log "SetTimer FINDDEV_TIMER_ID, m_nRetryFind=5" 5
    check "the mouse is taken over again" wait_log "OnFindDeviceOK" 10 2
    check "and read again" wait_log "OnSyncOk" 20 2
    check "the no-mouse notice is gone" eventually no_mouse_notice_hidden

    # The exit button: a real click ends the program and it saves the profile cache.
    local mx my
    IFS=, read -r mx my <<<"$(cfg_get ptMin)"
    click $((mx + 28 + 12)) $((my + 12))
    check "the exit button ends the program" app_wait_exit 15
    check "OnExit ran" wait_log "OnExit" 1
}

# mouse_told_shown 0|1: what the program last told the virtual mouse of its window (the state
# file keeps it).
mouse_told_shown() { grep -qx "shown=$1" "$STATE"; }

gui_case_second_start_raises_the_first() {
    case_begin second_start
    app_start
    check "the window appears" wait_window 40
    check "the mouse is read" wait_ready
    local first=$APP_PID
    # The minimise button hides the window to the tray (TrayIcon 1).
    local mx my
    IFS=, read -r mx my <<<"$(cfg_get ptMin)"
    click $((mx + 12)) $((my + 12))
    check "the minimise button hides the window" wait_no_window 5
    check "and the mouse is told the window is hidden" within 5 mouse_told_shown 0
    app_start
    local second=$APP_PID
    check "the second start logs the first one" wait_log "ALREADY_EXISTS" 20
    APP_PID=$second
    check "the second start ends" app_wait_exit 20
    APP_PID=$first
    check "the first window is shown again" wait_window 10
    # Read from the mouse, not the log: both programs write to the one log file.
    check "and the mouse is told the window is shown" within 5 mouse_told_shown 1
}

gui_case_hidden_start() {
    case_begin hidden_start
    app_start /tray
    check "the hidden start reads the mouse" wait_log "OnSyncOk" 40
    sleep 1
    check "no window is shown" test -z "$(main_window)"
    check "the tray icon is there and takes a click" click_tray_icon
    check "the click shows the window" wait_window 10
    check "and tells the mouse the window is shown" wait_log "TellDrvStatus= 1" 5
}

gui_case_no_receiver_suwnd0() {
    case_begin no_receiver_suwnd0 Suwnd=0
    APP_SIM=0 app_start
    check "tc_msg15 is shown" wait_for_message 40
    click_message_ok
    check "the program ends after the message" app_wait_exit 20
}

gui_case_no_receiver_suwnd1() {
    case_begin no_receiver_suwnd1 Suwnd=1
    APP_SIM=0 app_start
    check "the window appears without a mouse" wait_window 40
    check "no receiver was found" wait_log "nDevNum=0" 5
    check "no device is read" test "$(log_count "OnFindDeviceOK")" -eq 0
    check "the window says plainly that no mouse is connected" eventually no_mouse_notice_shown
    # The pages stay to look at; a change is refused with the reason (tc_msg15).
    show_page 2
    page_click $((932 + 6)) $((73 + 2 * (12 + 67) + 6))
    check "a change is refused with a message" wait_for_message 5
    click_message_ok
    if [[ -n ${ZV_GUI_SHOTS:-} ]]; then
        within 5 message_gone
        sleep 1
        local ox oy geo
        read -r ox oy < <(window_origin)
        geo=$(xdotool getwindowgeometry "$(main_window)" | awk '/Geometry/ {print $2}')
        shot "$GUI_TMP/screen.png"
        convert "$GUI_TMP/screen.png" -crop "${geo}+${ox}+${oy}" +repage \
            "$ZV_GUI_SHOTS/main_no_mouse.png"
    fi
}

# The no-mouse notice: the band right of the navigation buttons (300, 113 to 755, 157) is
# drawn over; with a mouse it shows the window's background.
no_mouse_notice_shown() {
    skin_part "$(main_background)" 300 113 455 44 "$GUI_TMP/notice_bg.png"
    ! region_like "$1" 300 113 455 44 "$GUI_TMP/notice_bg.png"
}
no_mouse_notice_hidden() { ! no_mouse_notice_shown "$1"; }

# click_message_ok: the OK button of a message (centred under the text).
click_message_ok() {
    local w x y ww h
    w=$(message_window)
    [[ -n $w ]] || return 0
    read -r x y ww h < <(window_box "$w")
    xdotool mousemove $((x + ww / 2)) $((y + 123)) click 1
}

# visible_windows: the ids of every mapped window, one a line.
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }
window_box() {  # prints "X Y W H" of an X window
    xdotool getwindowgeometry "$1" |
        awk '/Position/ {split($2, p, ",")} /Geometry/ {split($2, g, "x")} END {print p[1], p[2], g[1], g[2]}'
}

gui_case_language_list() {
    case_begin language_list
    app_start
    check "the window appears" wait_window 40
    check "the mouse is read" wait_ready
    local mx my before popup x y w h
    IFS=, read -r mx my <<<"$(cfg_get ptMin)"
    before=$(visible_windows)
    # The list's button sits left of the minimise button.
    click $((mx - 105)) $((my + 13))
    sleep 1
    popup=$(comm -13 <(echo "$before") <(visible_windows) | head -1)
    check "a click opens the language list" test -n "$popup"
    [[ -n $popup ]] || return
    read -r x y w h < <(window_box "$popup")
    # Three languages: the second is Deutsch (Lang2).
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    local ini="$LOCALAPPDATA/ZvGui_language_list/lang.ini"
    lang_is_1() { grep -aq 'LangIndex=1' "$ini" 2>/dev/null; }
    check "choosing Deutsch remembers it in lang.ini" within 5 lang_is_1
    check "the list closes" within 3 test -z "$(comm -13 <(echo "$before") <(visible_windows))"
}

gui_case_about_window() {
    case_begin about_window
    app_start
    check "the window appears" wait_window 40
    check "the mouse is read" wait_ready
    local mx my
    IFS=, read -r mx my <<<"$(cfg_get ptMin)"
    click $((mx - 28 + 12)) $((my + 12))
    check "the help button opens the about window" wait_for_message 5
    local about x y w h
    about=$(message_window)
    [[ -n $about ]] || return
    xdotool key Escape
    xdotool key space
    sleep 1
    check "Escape and Space leave it open" message_shown
    read -r x y w h < <(window_box "$about")
    xdotool mousemove $((x + 399 + 12)) $((y + 10 + 12)) click 1
    check "its close button closes it" within 5 message_gone
    check "the main window stays" window_shown
}

gui_case_drag_by_background() {
    case_begin drag_by_background
    app_start
    check "the window appears" wait_window 40
    check "the mouse is read" wait_ready
    local x0="" y0 x1 y1 i
    # Looked up again for a moment: on a loaded machine the search can miss the window once.
    for i in $(seq 20); do
        read -r x0 y0 < <(window_origin) && [[ -n $x0 ]] && break
        sleep 0.5
    done
    # A press on the background (between the navigation bar and the title) moves the window.
    xdotool mousemove $((x0 + 500)) $((y0 + 70)) mousedown 1
    sleep 0.3
    xdotool mousemove $((x0 + 450)) $((y0 + 40))
    sleep 0.3
    xdotool mousemove $((x0 + 400)) $((y0 + 30)) mouseup 1
    sleep 1
    read -r x1 y1 < <(window_origin)
    check "dragging the background moves the window ($x0,$y0 -> $x1,$y1)" \
        test "$x1" -eq $((x0 - 100)) -a "$y1" -eq $((y0 - 40))
}
