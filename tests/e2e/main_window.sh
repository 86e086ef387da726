#!/usr/bin/env bash
# End to end: the first start of the program on a private X server, from the language choice to the
# closing, which must leave a settings file with the window's placement.
# Usage: main_window.sh PATH-TO-murmelwerk
# Exit status 77 (skipped) when the X tools are missing.
set -uo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/x_session.sh"

missing=$(xs_missing)
if [ -n "$missing" ]; then
    echo "SKIPPED: missing $missing (scripts/test installs them)"
    exit 77
fi

xs_start_x
xs_fresh_home
xs_launch "$program"

# First start: the language choice, then the welcome dialog.
xs_first_start english

xs_click start
# The speed line of the status display ("speed"): its first text, to see it follow the pointer.
if xs_centre speed; then
    xs_until 5 xs_text speed first >/dev/null || xs_fail "no text of the speed line"
    first=$(xs_text speed first)
else
    first=
    echo "NOTE: the program shows no speed line (status display missing): the speed is not checked"
fi
# One second of pointer movement, in one xdotool call.
moves=()
for ((i = 0; i < 50; i++)); do moves+=(mousemove $((300 + (i % 10) * 60)) $((200 + (i % 5) * 80)) sleep 0.02); done
xdotool "${moves[@]}"
playing() {
    local latency
    latency=$(xs_text currentLatency last) && [ -n "$latency" ] &&
        "$XS_PYTHON" -c 'import sys; sys.exit(0 if float(sys.argv[1]) != 0 else 1)' "$latency" 2>/dev/null && return 0
    [ "$(xs_enabled stop)" = 1 ]
}
xs_until 5 playing || xs_fail "the engine does not play (current latency stays 0, Stop stays disabled)"
changed() { [ "$(xs_text speed last)" != "$first" ]; }
[ -z "$first" ] || xs_until 3 changed || xs_fail "the speed text stayed \"$first\" while the pointer moved"

# Exit, answering whatever is asked with Yes (or OK).
xs_exit_program
[ "$XS_STATUS" -eq 0 ] || xs_fail "the program ended with status $XS_STATUS"

settings=$XDG_CONFIG_HOME/murmelwerk/murmelwerk.MWS
[ -f "$settings" ] || xs_fail "no settings file at $settings"
read -r left top right bottom < <("$XS_PYTHON" "$XS_TOOLS/probe_log.py" window-rect "$settings") ||
    xs_fail "the settings file cannot be read"
[ $((right - left)) -gt 0 ] && [ $((bottom - top)) -gt 0 ] ||
    xs_fail "the saved window rectangle is empty: $left $top $right $bottom"
echo "PASSED: started, played (speed \"$first\" -> \"$(xs_text speed last)\", current latency" \
    "$(xs_text currentLatency last)), closed; window $left $top $right $bottom"
