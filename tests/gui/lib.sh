# Helpers of the GUI harness: the real Zorvan.exe under Wine in a virtual X display, with its
# own program folder, data folder and virtual mouse per case, driven with real clicks and keys.
# Sourced by tests/gui/run; every case file in tests/gui/cases/ uses these functions.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WIN_BUILD=${ZV_WIN_BUILD:-$ROOT/build/win}
NATIVE_BUILD=${ZV_NATIVE_BUILD:-$ROOT/build/native}
CLI=$NATIVE_BUILD/zorvan
# A prefix of the harness's own whose desktop (where Log.txt goes) is a folder of the build,
# not the user's home shared with every other Wine program.
export WINEPREFIX=${ZV_GUI_WINEPREFIX:-$ROOT/build/wineprefix-gui}
GUI_HOME=$ROOT/build/gui-home
GUI_TEMPLATE=""  # set by gui_use_slot: the prefix a worker's own prefix is copied from
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=$(command -v wine64 || command -v wine)

GUI_TMP=""      # the harness's scratch folder
XVFB_PID=""
APP_PID=""      # the Zorvan.exe started last
CASE_DIR=""     # the current case's program folder
STATE=""        # the virtual mouse's state file (Linux path)
LOG=""          # the program's Log.txt
FAILS=0
GUI_K=1         # the program's layout scale: 2 on a 3840-wide display (its large-screen layout)

say() { printf '%s\n' "$*"; }
fail() {
    say "    FAIL: $*"
    FAILS=$((FAILS + 1))
    return 1
}
check() {  # check "what" command...
    local what=$1
    shift
    if "$@"; then say "    ok: $what"; else fail "$what"; fi
}

# gui_use_slot N: the worker N of a parallel run takes a Wine prefix and user folders of its own,
# made once as a copy of the harness's prefix.
gui_use_slot() {
    GUI_TEMPLATE=$WINEPREFIX
    export WINEPREFIX=$ROOT/build/wineprefix-gui-$1
    GUI_HOME=$ROOT/build/gui-home-$1
}

# gui_make_prefix PREFIX HOME: creates the prefix once (its user folders pointing into HOME);
# a lock keeps workers started together from creating it twice.
gui_make_prefix() {
    local prefix=$1 home=$2
    mkdir -p "$home/Desktop"
    [[ -f "$prefix/system.reg" ]] && return
    exec 7>"$prefix.lock"
    flock 7
    if [[ ! -f "$prefix/system.reg" ]]; then
        say "gui: creating the Wine prefix $prefix (once)"
        WINEPREFIX=$prefix HOME=$home XDG_DESKTOP_DIR=$home/Desktop \
            "$WINE" wineboot -i >/dev/null 2>&1
        WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
    fi
    flock -u 7
    exec 7>&-
}

# gui_copy_prefix FROM FROM_HOME TO TO_HOME: TO as a copy of the prefix FROM, its user folders
# (links into FROM_HOME) pointing into TO_HOME instead.
gui_copy_prefix() {
    local from=$1 from_home=$2 to=$3 to_home=$4 link target
    mkdir -p "$to_home/Desktop"
    [[ -f "$to/.zvgui-copied" ]] && return
    exec 7>"$to.lock"
    flock 7
    if [[ ! -f "$to/.zvgui-copied" ]]; then
        WINEPREFIX=$from wineserver -w 2>/dev/null || true
        "$ROOT/scripts/copy-wineprefix" "$from" "$to"
        for link in "$to/drive_c/users/${USER:-root}"/*; do
            [[ -L $link ]] || continue
            target=$(readlink "$link")
            [[ $target == "$from_home"* ]] || continue
            mkdir -p "$to_home${target#"$from_home"}"
            ln -sfn "$to_home${target#"$from_home"}" "$link"
        done
        touch "$to/.zvgui-copied"
    fi
    flock -u 7
    exec 7>&-
}

gui_setup() {
    GUI_TMP=$(mktemp -d /tmp/zvgui.XXXXXX)
    GUI_K=1
    [[ ${ZV_GUI_SCREEN:-} == 3840x* ]] && GUI_K=2
    if [[ -z "${ZV_GUI_KEEP_DISPLAY:-}" ]]; then
        # The server picks a free display number itself, so harnesses and workers started
        # together never race for one.
        Xvfb -displayfd 3 -screen 0 "${ZV_GUI_SCREEN:-1280x800x24}" -nolisten tcp \
            3>"$GUI_TMP/display" >/dev/null 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 300); do [[ -s "$GUI_TMP/display" ]] && break; sleep 0.1; done
        export DISPLAY=":$(head -n1 "$GUI_TMP/display")"
    fi
    # The prefix is created once and kept between runs; its user folders point into GUI_HOME.
    if [[ -n $GUI_TEMPLATE ]]; then
        gui_make_prefix "$GUI_TEMPLATE" "$ROOT/build/gui-home"
        gui_copy_prefix "$GUI_TEMPLATE" "$ROOT/build/gui-home" "$WINEPREFIX" "$GUI_HOME"
    else
        gui_make_prefix "$WINEPREFIX" "$GUI_HOME"
    fi
    local desk="$WINEPREFIX/drive_c/users/${USER:-root}/Desktop"
    DESKTOP=$(readlink -f "$desk" 2>/dev/null || echo "$desk")
    LOG="$DESKTOP/Log.txt"
    LOCALAPPDATA="$WINEPREFIX/drive_c/users/${USER:-root}/AppData/Local"
}

gui_teardown() {
    # The harness stops its workers with TERM once their last case is done; a teardown cut short
    # there would leave its display server running.
    trap '' TERM
    app_kill
    WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null
    # ZV_GUI_KEEP=1 keeps the cases' folders (screens, regions, state files) to look at.
    [[ -n $GUI_TMP && -z "${ZV_GUI_KEEP:-}" ]] && rm -rf "$GUI_TMP"
}

# Windows path of a Linux path (Wine maps / to Z:).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# case_begin NAME [Key=Value ...]: a fresh program folder with the staged data, cfg.ini with
# the log on, its own data folder name and the given option values; a fresh virtual mouse.
case_begin() {
    local name=$1
    shift
    say "== $name"
    CASE_DIR="$GUI_TMP/$name"
    mkdir -p "$CASE_DIR"
    cp "$WIN_BUILD/Zorvan.exe" "$CASE_DIR/"
    for f in cfg.ini text.xml appico.ico appfont.ttf; do
        [[ -e "$WIN_BUILD/$f" ]] && cp "$WIN_BUILD/$f" "$CASE_DIR/"
    done
    for d in "$WIN_BUILD"/skins "$WIN_BUILD"/English "$WIN_BUILD"/French "$WIN_BUILD"/German; do
        [[ -d $d ]] && cp -r "$d" "$CASE_DIR/"
    done
    cfg_set Debug 2
    cfg_set appdir "ZvGui_$name"
    local kv
    for kv in "$@"; do cfg_set "${kv%%=*}" "${kv#*=}"; done
    rm -rf "${LOCALAPPDATA:?}/ZvGui_$name"
    rm -f "$LOG"
    STATE="$CASE_DIR/mouse.state"
    rm -f "$STATE" "$STATE.cmd"
}

# cfg_set KEY VALUE: sets an option of the case's cfg.ini section OPT.
cfg_set() {
    local f="$CASE_DIR/cfg.ini"
    if grep -q "^$1=" "$f"; then
        sed -i -E "s/^$1=.*/$1=$2/" "$f"
    else
        sed -i -E "s/^\[OPT\]/[OPT]\n$1=$2/" "$f"
    fi
}

# cfg_get KEY: an option of the case's cfg.ini (the first of that name).
cfg_get() { grep -m1 "^$1=" "$CASE_DIR/cfg.ini" | cut -d= -f2- | tr -d '\r'; }

# app_start [args...]: Zorvan.exe of the case with the virtual mouse (APP_SIM=0: without).
app_start() {
    if [[ "${APP_SIM:-1}" == "1" ]]; then
        ZORVAN_SIM=$(winpath "$STATE") "$WINE" "$CASE_DIR/Zorvan.exe" "$@" >/dev/null 2>&1 &
    else
        env -u ZORVAN_SIM "$WINE" "$CASE_DIR/Zorvan.exe" "$@" >/dev/null 2>&1 &
    fi
    APP_PID=$!
}

app_running() { [[ -n $APP_PID ]] && kill -0 "$APP_PID" 2>/dev/null; }

# app_wait_exit SECONDS: true when the program ended in time.
app_not_running() { ! app_running; }
app_wait_exit() { within "$1" app_not_running && APP_PID=""; }

app_kill() {
    if app_running; then
        kill "$APP_PID" 2>/dev/null
        app_wait_exit 5 || kill -9 "$APP_PID" 2>/dev/null
    fi
    APP_PID=""
}

# log_count TEXT: lines of Log.txt that contain TEXT.
log_count() {
    # Records end in a carriage return only: count the matches, not the lines.
    if [[ -f $LOG ]]; then grep -aoF -- "$1" "$LOG" | wc -l; else echo 0; fi
}
# wait_log TEXT [SECONDS] [COUNT]: until TEXT is in the log COUNT times (default once).
log_has() { [[ $(log_count "$1") -ge $2 ]]; }
wait_log() { within "${2:-20}" log_has "$1" "${3:-1}"; }

# main_window: the X window of the main window when it is mapped; empty otherwise.
main_window() { xdotool search --onlyvisible --name "^Zorvan\$" 2>/dev/null | head -1; }
# wait_no_window SECONDS: until the main window is not shown (without a window manager Wine
# takes up to 2 s to withdraw a window).
# within SECONDS COMMAND...: until COMMAND succeeds, tried every 0.1 s.
within() {
    local secs=$1 i
    shift
    for i in $(seq $((secs * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
window_shown() { [[ -n $(main_window) ]]; }
window_gone() { [[ -z $(main_window) ]]; }
wait_no_window() { within "${1:-5}" window_gone; }
wait_window() { within "${1:-20}" window_shown; }
window_origin() {  # prints "X Y" of the main window
    local w
    w=$(main_window)
    [[ -n $w ]] || return 1
    xdotool getwindowgeometry "$w" | awk '/Position/ {split($2, p, ","); print p[1], p[2]}'
}
# click X Y: a real left click at window coordinates of the main window.
click() {
    local ox oy
    read -r ox oy < <(window_origin) || return 1
    xdotool mousemove $((ox + $1)) $((oy + $2)) click 1
}

# click_tray_icon: a left click on the program's icon in Wine's own tray window (the display
# has no tray of its own).
click_tray_icon() {
    local w x y
    w=$(xdotool search --onlyvisible --name "^Wine System Tray\$" 2>/dev/null | head -1)
    [[ -n $w ]] || return 1
    read -r x y < <(xdotool getwindowgeometry "$w" | awk '/Position/ {split($2, p, ","); print p[1], p[2]}')
    xdotool mousemove $((x + 10)) $((y + 10)) click 1
}

# opening CLICK...: runs the click that opens a list or a menu (a window of its own), then waits
# until a new window is shown (10 s at most) and a second more for it to paint: on a loaded
# machine a list takes longer to appear than a fixed pause, and the click meant for its entry
# would land on the page below.
shown_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }
new_window_since() { [[ -n $(comm -13 <(echo "$1") <(shown_windows)) ]]; }
opening() {
    local before
    before=$(shown_windows)
    "$@" || return
    within 10 new_window_since "$before"
    sleep 1
}

# sim ACTION...: drives the running program's virtual mouse.
sim() { "$CLI" --cfg "$CASE_DIR/cfg.ini" --sim="$STATE" sim "$@"; }
# eeprom ADDR LEN: the virtual mouse's memory as the native tool reads it from the state file.
eeprom() {
    # The tool's own log stays off, so the program's log holds the program's lines only.
    mkdir -p "$CASE_DIR/cli"
    sed -E 's/^Debug=.*/Debug=0/' "$CASE_DIR/cfg.ini" >"$CASE_DIR/cli/cfg.ini"
    cp "$CASE_DIR/text.xml" "$CASE_DIR/cli/"
    "$CLI" --cfg "$CASE_DIR/cli/cfg.ini" --data-dir "$GUI_TMP/cli-data" --sim="$STATE" \
        eeprom read "$1" "$2" 2>/dev/null
}

# The pages' place in the main window (rcSubDlg).
PAGE_X=0
PAGE_Y=160

# page_click X Y [REPEAT]: a click at page coordinates of the normal layout (doubled on a
# large screen, as the program doubles its own).
page_click() {
    local ox oy
    read -r ox oy < <(window_origin) || return 1
    xdotool mousemove $((ox + (PAGE_X + $1) * GUI_K)) $((oy + (PAGE_Y + $2) * GUI_K)) \
        click --repeat "${3:-1}" --delay 80 1
}

# model_first N: the case's virtual mouse is catalogue entry N (the virtual mouse is the
# catalogue's first entry, so [DEV_N] and [DEV_1] change places).
model_first() {
    sed -i -E "s/^\[DEV_1\]/[DEV_KP]/; s/^\[DEV_$1\]/[DEV_1]/; s/^\[DEV_KP\]/[DEV_$1]/" \
        "$CASE_DIR/cfg.ini"
}

# page_open NAME NAVI [Key=Value ...]: a case whose program, after the first read, shows the
# page of navigation button NAVI (1 buttons, 2 performance, 3 macros, 4 lighting). With
# GUI_MODEL=N the virtual mouse is catalogue entry N.
page_open() {
    local name=$1 navi=$2
    shift 2
    case_begin "$name" "$@"
    [[ -n ${GUI_MODEL:-} ]] && model_first "$GUI_MODEL"
    app_start
    check "the window appears" wait_window 40 || return 1
    check "the first read ends in OnSyncOk" wait_log "OnSyncOk" 30
    show_page "$navi"
}

# show_page NAVI: a click on navigation button NAVI (1 buttons, 2 performance, 3 macros,
# 4 lighting).
show_page() {
    local nx ny
    IFS=, read -r nx ny <<<"$(cfg_get ptNavi)"
    # NaviW 0: 64 pixels a button.
    click $(((nx + ($1 - 1) * 64 + 20) * GUI_K)) $(((ny + 24) * GUI_K))
    sleep 1
}

# page_region_like SCREEN X Y W H SKIN: the page's region at page coordinates (X, Y) looks
# like the same region of the page's skin picture SKIN (nothing drawn over the background).
page_region_like() {
    skin_part "$6" "$2" "$3" "$4" "$5" "$GUI_TMP/page_bg.png"
    region_like "$1" $((PAGE_X + $2)) $((PAGE_Y + $3)) "$4" "$5" "$GUI_TMP/page_bg.png"
}
# page_region_drawn SCREEN X Y W H SKIN [PIXELS]: at least PIXELS (default 150) pixels of that
# region differ from the skin picture: a control is drawn there, however thin.
page_region_drawn() {
    local ox oy diff
    read -r ox oy < <(window_origin) || return 1
    skin_part "$6" "$2" "$3" "$4" "$5" "$GUI_TMP/page_bg.png"
    convert "$1" -crop "${4}x${5}+$((ox + PAGE_X + $2))+$((oy + PAGE_Y + $3))" +repage \
        "$GUI_TMP/region.png"
    diff=$(compare -metric AE -fuzz 12% "$GUI_TMP/region.png" "$GUI_TMP/page_bg.png" null: 2>&1 |
        cut -d' ' -f1)
    [[ ${diff%.*} -ge ${7:-150} ]]
}

# eeprom_is ADDR LEN "BYTES": the mouse's memory holds these bytes (lower-case hex, one blank).
eeprom_bytes() { eeprom "$1" "$2" | tr 'A-F\n\r' 'a-f  ' | tr -s ' ' | sed 's/^ //; s/ $//'; }
eeprom_is() { [[ "$(eeprom_bytes "$1" "$2")" == "$3" ]]; }

# shot FILE: the whole screen.
shot() { import -window root "$1" 2>/dev/null; }

# region_like SCREEN X Y W H EXPECTED: the main window's region at (X, Y) of size W x H looks
# like the picture EXPECTED (a few per cent of colour difference allowed for scaling).
region_like() {
    local screen=$1 x=$2 y=$3 w=$4 h=$5 expected=$6 ox oy diff
    read -r ox oy < <(window_origin) || return 1
    convert "$screen" -crop "${w}x${h}+$((ox + x))+$((oy + y))" +repage "$GUI_TMP/region.png"
    diff=$(compare -metric AE -fuzz 12% "$GUI_TMP/region.png" "$expected" null: 2>&1 | cut -d' ' -f1)
    [[ -n "${ZV_GUI_KEEP:-}" ]] && say "    region at $((ox + x)),$((oy + y)): $diff pixels differ"
    [[ ${diff%.*} -le $((w * h / 50)) ]]
}

# skin_part FILE X Y W H OUT: a part of a skin picture.
skin_part() { convert "$CASE_DIR/skins/$1" -crop "${4}x${5}+$2+$3" +repage "$6"; }

# The message dialog (and every dialog shown under its title) while it is shown.
message_window() { xdotool search --onlyvisible --name "^ZorvanMsgTopWindow\$" 2>/dev/null | head -1; }
message_shown() { [[ -n $(message_window) ]]; }
wait_for_message() { within "$1" message_shown; }
