#!/usr/bin/env bash
# End to end: a built-in patch loaded from the Configuration menu shows a window per module; a module
# window dragged by its background follows the pointer, and the patch saved afterwards holds its new
# Position (relative to the main window, which stayed put) while every other module keeps its own; of
# two overlapping module windows, a drag on the overlap moves the upper one only.
# Usage: module_windows.sh PATH-TO-murmelwerk PATH-TO-the-built-in-patch-223
# Exit status 77 (skipped) when the X tools are missing.
set -uo pipefail
program=$(realpath "$1")
builtin=$(realpath "$2")
source "$(dirname "$0")/x_session.sh"

missing=$(xs_missing)
if [ -n "$missing" ]; then
    echo "SKIPPED: missing $missing (scripts/test installs them)"
    exit 77
fi

xs_start_x
xs_settled_home "$program"
xs_launch "$program" -NoInstall
xs_wait 'painted main [0-9]+' 10

window_of() { "$XS_PYTHON" "$XS_TOOLS/probe_log.py" window "$XS_LOG" "$1"; }
window_id() { grep "^window $1 " "$XS_LOG" | tail -n1 | cut -d' ' -f3; }
# Drags from a screen point by dx dy in small steps, as a hand does.
drag() {
    local x=$1 y=$2 dx=$3 dy=$4 steps=10 moves=() i
    for ((i = 1; i <= steps; i++)); do moves+=(mousemove $((x + dx * i / steps)) $((y + dy * i / steps)) sleep 0.03); done
    xdotool mousemove --sync "$x" "$y" sleep 0.1 mousedown 1 sleep 0.1 "${moves[@]}" sleep 0.1 mouseup 1
}
# Waits until window NAME is reported at x y.
at() { [ "$(window_of "$1" | cut -d' ' -f1-2)" = "$2 $3" ]; }

# Configuration, then "Neuron based" (the eighth entry: Load, Save As, Clear and the six groups, the
# disabled Undo and Redo skipped) and its one patch, "Neuronic Beat": nine modules.
xs_click configuration
sleep 0.5
xdotool key Down Down Down Down Down Down Down Down Right Return
xs_wait 'window module9 .*' 10

# The fourth module's window, raised, dragged by its title (a label: the press reaches the window).
read -r x y w h < <(window_of module4)
xdotool windowraise "$(window_id module4)"
sleep 0.3
drag $((x + w / 2)) $((y + 15)) 73 -41
xs_until 3 at module4 $((x + 73)) $((y - 41)) ||
    xs_fail "module4 is at $(window_of module4), not at $((x + 73)) $((y - 41)) after the drag"

# Save As: the file dialog takes a typed path.
saved=$XS_DIR/saved.mwc
xs_click configuration
sleep 0.5
xdotool key Down Down Return
sleep 1.5
xdotool type --delay 20 "$saved"
xdotool key Return
xs_until 10 test -s "$saved" || xs_fail "no patch saved at $saved"
sleep 0.5

mapfile -t before < <("$XS_PYTHON" "$XS_TOOLS/probe_log.py" positions "$builtin")
mapfile -t after < <("$XS_PYTHON" "$XS_TOOLS/probe_log.py" positions "$saved")
[ ${#after[@]} -eq 9 ] || xs_fail "the saved patch holds ${#after[@]} modules, not 9"
for i in "${!before[@]}"; do
    read -r bx by name <<<"${before[i]}"
    expected="$bx $by $name"
    [ "$i" -eq 3 ] && expected="$((bx + 73)) $((by - 41)) $name"
    [ "${after[i]}" = "$expected" ] || xs_fail "module $((i + 1)) saved at \"${after[i]}\", expected \"$expected\""
done

# Two overlapping windows: the fifth raised and laid over the fourth, then dragged on the overlap.
read -r ax ay aw ah < <(window_of module4)
read -r x y w h < <(window_of module5)
xdotool windowraise "$(window_id module5)"
sleep 0.3
drag $((x + w / 2)) $((y + 15)) $((ax + 40 - x)) $((ay + 40 - y))
xs_until 3 at module5 $((ax + 40)) $((ay + 40)) || xs_fail "module5 did not move over module4"
drag $((ax + 40 + w / 2)) $((ay + 55)) 30 20
xs_until 3 at module5 $((ax + 70)) $((ay + 60)) || xs_fail "the upper window did not follow the drag"
sleep 0.3
at module4 "$ax" "$ay" || xs_fail "the lower window moved as well: $(window_of module4)"

xs_exit_program
[ "$XS_STATUS" -eq 0 ] || xs_fail "the program ended with status $XS_STATUS"
echo "PASSED: loaded from the menu, dragged, saved with the moved Position; one drag on the overlap"
