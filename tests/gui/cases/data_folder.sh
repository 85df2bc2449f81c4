# The data folder has one writer at a time: while the window runs, a command of the tool on the
# same folder says it is busy and changes nothing; once the window is gone the command goes
# through. The virtual mouse's own commands, with their own data folder, keep working beside it.

# win_cli DATA_DIR ARGS...: the Windows build of the tool on the case's configuration, with a
# virtual mouse of its own; exit code in CLI_CODE, standard error in $GUI_TMP/cli.err.
win_cli() {
    local data=$1
    shift
    "$WINE" "$WIN_BUILD/zorvan.exe" --cfg "$(winpath "$CASE_DIR/cfg.ini")" \
        --sim="$(winpath "$CASE_DIR/cli.state")" --data-dir "$data" "$@" \
        >/dev/null 2>"$GUI_TMP/cli.err"
    CLI_CODE=$?
}

gui_case_data_folder_one_writer() {
    case_begin data_folder
    app_start
    wait_window 30 || fail "the window did not open"
    wait_log "OnSyncOk" 30 || fail "the window did not read the mouse"
    local data
    data=$(winpath "$LOCALAPPDATA/ZvGui_data_folder")
    win_cli "$data" set rate 500
    check "a change beside the window says busy" [ "$CLI_CODE" -eq 1 ]
    check "with the reason" grep -q "Zorvan is busy" "$GUI_TMP/cli.err"
    # The virtual mouse's file commands use a data folder of their own.
    sim dpi-button
    check "the running mouse still takes its button" wait_log "OnDeviceBehavior" 10
    check "its memory is still read" [ -n "$(eeprom 0 2)" ]
    app_kill
    win_cli "$data" set rate 500
    check "the change goes through once the window is gone" [ "$CLI_CODE" -eq 0 ]
}
