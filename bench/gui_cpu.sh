#!/usr/bin/env bash
# Processor use of the whole program (all its threads: utime + stime from /proc/PID/stat) over 10 s,
# in percent of one core, and of its user-interface thread alone: sound stopped and started, each with
# the pointer still and with xdotool moving it continuously. Runs on a private X server with settled
# settings, without the debug probe; the sound is started by the -AutoStartOnly option and plays into
# ALSA's null device.
# The pointer moves for 2 s before a measurement begins and on to its end. Each case runs REPEATS times
# (a fresh program each time); the median is reported with the lowest and highest.
# Usage: bench/gui_cpu.sh [PATH-TO-murmelwerk] [SECONDS (10)] [REPEATS (3)]
set -uo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/bin/murmelwerk}")
seconds=${2:-10}
repeats=${3:-3}
source tests/e2e/x_session.sh
missing=$(xs_missing)
[ -z "$missing" ] || { echo "missing: $missing (scripts/test installs them)" >&2; exit 1; }

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; } # the command name holds no blank
# The user-interface thread alone (its thread id is the process id): the windows' timers and repaints.
ui_ticks() { awk '{ print $14 + $15 }' "/proc/$1/task/$1/stat" 2>/dev/null; }
xs_ended_early() {
    wait "$XS_PID"
    xs_fail "the program ended early with status $? (sound $sound, pointer $pointer)"
}
hz=$(getconf CLK_TCK)

xs_start_x
xs_settled_home "$program"

# -AutoStartOnly must really start the sound, or the "started" rows measure a stopped program.
xs_launch "$program" -NoInstall -AutoStartOnly
xs_until 10 eval '[ "$(xs_enabled stop)" = 1 ]' || xs_fail "-AutoStartOnly does not start the sound"
xs_stop_program() { kill "$XS_PID" 2>/dev/null; wait "$XS_PID" 2>/dev/null; XS_PID=; }
xs_stop_program

# The pointer goes round a 600 x 400 ellipse over the screen, 50 moves a second.
read -ra moves < <(awk -v n=$(((seconds + 4) * 50)) 'BEGIN { for (i = 0; i < n; i++)
    printf "mousemove %d %d sleep 0.02 ", 800 + 600 * cos(i * 0.05), 500 + 400 * sin(i * 0.05) }')

for sound in stopped started; do
    for pointer in still moving; do
        args=(-NoInstall)
        [ "$sound" = started ] && args+=(-AutoStartOnly)
        results=()
        for ((run = 0; run < repeats; run++)); do
            QT_QPA_PLATFORM=xcb "$program" "${args[@]}" >/dev/null 2>"$XS_DIR/stderr.log" &
            XS_PID=$!
            sleep 3 # start-up done, the window shown
            if [ "$pointer" = moving ]; then
                xdotool "${moves[@]}" &
                mover=$!
                sleep 2
            fi
            before=$(ticks "$XS_PID") || xs_ended_early
            ui_before=$(ui_ticks "$XS_PID")
            sleep "$seconds"
            after=$(ticks "$XS_PID") || xs_ended_early
            ui_after=$(ui_ticks "$XS_PID")
            [ "$pointer" = moving ] && { kill "$mover" 2>/dev/null; wait "$mover" 2>/dev/null; }
            xs_stop_program
            results+=("$((after - before)) $((ui_after - ui_before))")
        done
        printf '%s\n' "${results[@]}" | sort -n | awk -v hz="$hz" -v s="$seconds" \
            -v what="sound $sound, pointer $pointer" '
            { d[NR] = $1; u[NR] = $2 }
            END { m = int((NR + 1) / 2)
                  printf "%-32s %6.1f %% of one core (%.1f..%.1f; user-interface thread %4.1f %%)\n", what ":",
                         100 * d[m] / hz / s, 100 * d[1] / hz / s, 100 * d[NR] / hz / s, 100 * u[m] / hz / s }'
    done
done
