#!/usr/bin/env bash
# End to end: the play surface. F11 covers the whole screen with it, with the cursor hidden; the
# speed it shows follows the pointer, which wraps at the screen's edge; Esc leaves it; a second start
# of the program while it is up takes it away.
# Usage: play_surface.sh PATH-TO-murmelwerk [xvfb|weston]
#   xvfb (the default): the program on a virtual X server with a window manager.
#   weston: the program on XWayland under Weston, as on a Wayland desktop. Weston runs full screen in
#   a window of the virtual X server, so xdotool's pointer moves and keys there reach it as a real
#   pointer and keyboard. (A headless Weston has no input that reaches XWayland 22: X's input focus
#   stays PointerRoot, so keys reach no window; xdotool's absolute "mousemove" made XWayland 22.1.9 end
#   with a segmentation fault; relative XTEST motion moves only X's own idea of the pointer.)
# Exit status 77 (skipped) when the tools are missing.
set -uo pipefail
program=$(realpath "$1")
mode=${2:-xvfb}
source "$(dirname "$0")/x_session.sh"

missing=$(xs_missing)
if [ "$mode" = weston ]; then
    for tool in weston Xwayland xdpyinfo; do command -v "$tool" >/dev/null || missing+=" $tool"; done
fi
if [ -n "${missing// /}" ]; then
    echo "SKIPPED: missing $missing (scripts/test installs them)"
    exit 77
fi

xs_start_x
if [ "$mode" = weston ]; then
    # The first start's dialogs are answered on the plain X server; then the desktop is Weston's.
    xs_settled_home "$program"
    xs_start_weston
    xdotool mousemove --sync 10 10 click 1 # Weston's window takes the keyboard
    program_display=$XS_XWAYLAND
    DISPLAY=$program_display WAYLAND_DISPLAY=murmelwerk-wl xs_launch "$program" -NoInstall -MakeNoSound 1
    xs_wait 'painted main [0-9]+' 15
    sleep 1
else
    xs_fresh_home
    program_display=$DISPLAY
    xs_launch "$program" -NoInstall -MakeNoSound 1
    xs_first_start english
fi
screen=$(DISPLAY=$program_display xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')

open_surface() {
    XS_MARK=$(wc -l <"$XS_LOG")
    xdotool key F11
    xs_wait "window playSurface [0-9]+ 0 0 ${screen% *} ${screen#* }" 10
}
open_surface
xs_wait "cursor playSurface 10" 3 # the blank cursor
if [ "$mode" = weston ]; then
    xs_until 3 xs_seen "text surfaceMessages On Wayland.*" || xs_fail "the surface shows no Wayland note"
fi

# Pointer movement for a second, away from the screen's edges; a speed text other than the one
# before must follow on the surface.
sleep 1
first=$(xs_text surfaceSpeed last)
moves=()
for ((i = 0; i < 50; i++)); do moves+=(mousemove $((300 + (i % 10) * 60)) $((200 + (i % 5) * 80)) sleep 0.02); done
moving_from=$(wc -l <"$XS_LOG")
xdotool "${moves[@]}"
changed() { tail -n +$((moving_from + 1)) "$XS_LOG" | grep '^text surfaceSpeed ' | grep -qvxF "text surfaceSpeed $first"; }
xs_until 3 changed || xs_fail "the surface's speed stayed \"$first\" while the pointer moved"
moved=$(tail -n +$((moving_from + 1)) "$XS_LOG" | grep '^text surfaceSpeed ' | grep -vxF "text surfaceSpeed $first" | head -n1)

# The edge wrap over the whole screen: the pointer swept to the left edge comes back at the right
# (under XWayland only because the cursor is hidden). The program's own display knows where it is.
wrapped=
last=
for x in 700 600 500 400 300 200 100 0 0 0; do
    xdotool mousemove "$x" 500 sleep 0.3
    now=$(DISPLAY=$program_display xdotool getmouselocation | sed 's/^x:\([0-9]*\) .*/\1/')
    [ -n "$last" ] && [ "$now" -gt "$last" ] && wrapped=$now
    last=$now
done
[ -n "$wrapped" ] || xs_fail "the pointer swept to the left edge did not wrap (x $last)"

XS_MARK=$(wc -l <"$XS_LOG")
xdotool key Escape
xs_wait "hidden playSurface" 5

# Open again; a second start of the program brings the main window back instead. Weston gives the
# keyboard to no window when the surface goes: a click on the main window's title area takes it. (Where
# Weston frames a window, the toolkit's idea of its place can be off: the X server knows better.)
if [ "$mode" = weston ]; then
    eval "$(DISPLAY=$program_display xdotool getwindowgeometry --shell \
        "$(grep '^window main ' "$XS_LOG" | tail -n1 | cut -d' ' -f3)")"
    sleep 1
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + 10)) click 1 sleep 0.5
fi
open_surface
XS_MARK=$(wc -l <"$XS_LOG")
DISPLAY=$program_display MURMELWERK_DEBUG=0 QT_QPA_PLATFORM=xcb "$program" -NoInstall >/dev/null 2>&1 &
second=$!
xs_wait "hidden playSurface" 10
wait "$second"

if [ "$mode" = weston ]; then
    kill "$XS_PID" # the program's clean exit is checked on the plain X server
else
    xs_exit_program
    [ "$XS_STATUS" -eq 0 ] || xs_fail "the program ended with status $XS_STATUS"
fi
echo "PASSED ($mode): the surface covered $screen with a blank cursor, its speed followed the pointer" \
    "(\"$first\" -> \"${moved#text surfaceSpeed }\"), which wrapped to x $wrapped; Esc and a second start left it"
