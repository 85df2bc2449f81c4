# Started without the files that come with it (as from inside a zip file, where Windows extracts
# the program alone), Zorvan.exe says so in one message and ends: no main window, no second
# message, no data folder.

# The message box of this program: a small top-level window with the program's name.
lone_message() {
    local w
    for w in $(xdotool search --onlyvisible --name '^Zorvan$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        ((WIDTH < 700 && HEIGHT < 400)) && { printf '%s' "$w"; return 0; }
    done
    return 1
}
lone_message_shown() { [[ -n $(lone_message) ]]; }
lone_message_gone() { [[ -z $(lone_message) ]]; }

gui_case_startup_without_its_files() {
    # What is removed from the program's folder: everything (the zip case), or the skins only.
    local row gone
    for row in "cfg.ini text.xml appico.ico English French German skins" "skins"; do
        case_begin startup_files
        for gone in $row; do rm -rf "${CASE_DIR:?}/$gone"; done
        APP_SIM=0 app_start
        check "without $row: one message" wait_for_lone_message
        [[ ${ZV_GUI_KEEP:-} == 1 ]] && shot "$GUI_TMP/startup_files_${row%% *}.png"
        check "no main window" window_gone_for_main
        xdotool windowfocus --sync "$(lone_message)" 2>/dev/null
        xdotool key Return
        check "the program ends after it" app_wait_exit 10
        check "no second message" lone_message_gone
        check "no data folder made" [ ! -e "$LOCALAPPDATA/ZvGui_startup_files" ]
        app_kill
    done
}
wait_for_lone_message() { within 30 lone_message_shown; }
# The main window is the only large window of the name.
window_gone_for_main() {
    local w
    for w in $(xdotool search --onlyvisible --name '^Zorvan$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        ((WIDTH >= 700)) && return 1
    done
    return 0
}
