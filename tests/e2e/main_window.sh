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
xs_launch "$program" -NoInstall

# First start: the language choice, then the welcome dialog.
xs_first_start english

xs_click start
# The speed line of the status display ("speed"): its text before the pointer moves.
speed=$(xs_centre speed && echo yes)
[ -n "$speed" ] || echo "NOTE: the program shows no speed line (status display missing): the speed is not checked"
sleep 1 # the speed of the click on Start dies down
first=$(xs_text speed last)
# One second of pointer movement, in one xdotool call.
moves=()
for ((i = 0; i < 50; i++)); do moves+=(mousemove $((300 + (i % 10) * 60)) $((200 + (i % 5) * 80)) sleep 0.02); done
moving_from=$(wc -l <"$XS_LOG")
xdotool "${moves[@]}"
playing() {
    local latency
    latency=$(xs_text currentLatency last) && [ -n "$latency" ] &&
        "$XS_PYTHON" -c 'import sys; sys.exit(0 if float(sys.argv[1]) != 0 else 1)' "$latency" 2>/dev/null && return 0
    [ "$(xs_enabled stop)" = 1 ]
}
xs_until 5 playing || xs_fail "the engine does not play (current latency stays 0, Stop stays disabled)"
# A speed text other than the one before, reported since the pointer began to move.
speeds() { tail -n +$((moving_from + 1)) "$XS_LOG" | grep '^text speed ' | grep -vxF "text speed $first"; }
changed() { speeds >/dev/null; }
[ -z "$speed" ] || xs_until 3 changed || xs_fail "the speed text stayed \"$first\" while the pointer moved"

# Exit, answering whatever is asked with Yes (or OK).
xs_exit_program
[ "$XS_STATUS" -eq 0 ] || xs_fail "the program ended with status $XS_STATUS"

settings=$XDG_CONFIG_HOME/murmelwerk/murmelwerk.MWS
[ -f "$settings" ] || xs_fail "no settings file at $settings"
read -r left top right bottom < <("$XS_PYTHON" "$XS_TOOLS/probe_log.py" window-rect "$settings") ||
    xs_fail "the settings file cannot be read"
[ $((right - left)) -gt 0 ] && [ $((bottom - top)) -gt 0 ] ||
    xs_fail "the saved window rectangle is empty: $left $top $right $bottom"
moved=$(speeds | head -n1)
echo "PASSED: started, played (speed \"$first\" -> \"${moved#text speed }\", current latency" \
    "$(xs_text currentLatency last)), closed; window $left $top $right $bottom"
