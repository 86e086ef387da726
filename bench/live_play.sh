#!/usr/bin/env bash
# Live playing against a device that consumes at the real rate without a sound card: a private JACK
# server with its dummy driver behind ALSA's jack plugin (jackd2, libasound2-plugins), the pointer on a
# private Xvfb moved by xdotool. Plays a built-in patch with `murmelwerk-render --play` for SECONDS and
# reports the measured output latency against the desired one after the first second (mean, range, share
# within +-2 ms), the underruns, and the processor use and context switches of the player.
# Usage: bench/live_play.sh [PATH-TO-murmelwerk-render] [SECONDS (600)] [BUILTIN (17)] [LATENCY_MS (20)]
set -uo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/bin/murmelwerk-render}")
seconds=${2:-600}
builtin=${3:-17}
latency=${4:-20}
for tool in Xvfb xdotool jackd; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/test installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
display=:$((200 + $$ % 100))
server=mwbench$$
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
# A JACK server runs its driver in real time where it may (as on a desktop set up for audio); where it
# may not, it runs with normal scheduling and its own timing then jitters too.
jack_mode="real-time"
jackd -R -P 70 -n "$server" -d dummy -r 48000 -p 256 >/dev/null 2>&1 &
jack_pid=$!
sleep 1
if ! kill -0 $jack_pid 2>/dev/null; then
    jack_mode="normal scheduling"
    jackd --no-realtime -n "$server" -d dummy -r 48000 -p 256 >/dev/null 2>&1 &
    jack_pid=$!
fi
pids+=($jack_pid)
echo "pcm.mwbench { type jack playback_ports { 0 system:playback_1 1 system:playback_2 } }" >"$work/alsa.conf"
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/alsa.conf" JACK_DEFAULT_SERVER=$server \
    JACK_NO_START_SERVER=1 DISPLAY=$display
sleep 2

# The pointer goes round a 600 x 400 ellipse, 50 moves a second, for the whole run.
(
    i=0
    while :; do
        xdotool mousemove 2>/dev/null $(awk -v i=$i 'BEGIN { printf "%d %d", 800 + 600 * cos(i * 0.05), 500 + 400 * sin(i * 0.05) }')
        sleep 0.02
        i=$((i + 1))
    done
) &
pids+=($!)

"$program" --play --builtin "$builtin" --seconds "$seconds" --output-device mwbench --latency "$latency" \
    2>"$work/status.txt" &
player=$!
sleep 1
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }
switches() { cat /proc/$1/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n + 0 }'; }
t0=$(ticks $player) c0=$(switches $player) s0=$(date +%s.%N)
sleep $((seconds - 2))
t1=$(ticks $player) c1=$(switches $player) s1=$(date +%s.%N)
wait $player
status=$?
if [ $status -ne 0 ]; then
    echo "the player failed:" >&2
    tr '\r' '\n' <"$work/status.txt" | tail -5 >&2
fi
hz=$(getconf CLK_TCK)

tr '\r' '\n' <"$work/status.txt" | awk -v jack="$jack_mode" -v want="$latency" -v rc=$status -v hz=$hz -v t0=$t0 -v t1=$t1 \
    -v c0=$c0 -v c1=$c1 -v s0=$s0 -v s1=$s1 '
    /^latency/ { n++; if ($6 + 0 != under + 0) { when = when sprintf(" %.1f s", n * 0.25); under = $6 }
                 if (n <= 4) next; v = $2; m++; sum += v; if (m == 1 || v < lo) lo = v; if (m == 1 || v > hi) hi = v;
                 if (v >= want - 2 && v <= want + 2) inside++; else if (++outside <= 8) away = away sprintf(" %.2f s (%.1f ms)", n * 0.25, v) }
    /real-time scheduling/ { print; print "JACK server: " jack }
    END {
        wall = s1 - s0
        printf "player exit status %d; %d status lines after the first second\n", rc, m
        if (m > 0) printf "measured latency: mean %.1f ms, range %.1f..%.1f ms, %.1f %% within %d +- 2 ms\n", sum / m, lo, hi, 100 * inside / m, want
        if (outside > 0) printf "outside +- 2 ms at:%s%s\n", away, (outside > 8 ? " ..." : "")
        printf "underruns: %s%s\n", (n == 0 ? "?" : under + 0), (under + 0 > 0 ? " (first counted at" when ")" : "")
        printf "processor: %.1f %% of a core; %.0f context switches a second\n", 100 * (t1 - t0) / hz / wall, (c1 - c0) / wall
    }'
