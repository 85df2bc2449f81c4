# The performance and lighting cases again on a 3840 x 2160 screen, where the program doubles
# its layout. Their clicks are given in the normal layout and doubled by the harness, so a
# control that did not double with its page is missed; the bytes read back from the mouse are
# the ones worked out by hand for the normal screen. (The harness runs these last, on a display
# of their own.)

# The main window at twice its normal width (1020).
window_is_large() {
    local w
    w=$(xdotool getwindowgeometry "$(main_window)" | awk '/Geometry/ {split($2, g, "x"); print g[1]}')
    [[ ${w:-0} -eq 2040 ]]
}
# large CASE: that case on the large screen, checking the layout it ran in.
large() {
    say "   (on a 3840 x 2160 screen)"
    "$1"
    check "the window took its large-screen layout" window_is_large
}

gui_case_large_perf_rate() { large gui_case_perf_rate_500; }
gui_case_large_perf_typed_dpi() { large gui_case_perf_typed_dpi; }
gui_case_large_perf_level_count() { large gui_case_perf_level_count; }
gui_case_large_lighting() { large gui_case_led_mode_and_colour; }
