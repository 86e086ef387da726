#!/usr/bin/env bash
# Start-up time of the program: from exec to the first paint of the main window (the debug probe's
# "painted main" line), 10 warm runs on a private X server with settled settings (no language or
# welcome dialog). Prints every run, then the minimum and the median.
# Usage: bench/gui_startup.sh [PATH-TO-murmelwerk] [RUNS]
set -uo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/bin/murmelwerk}")
runs=${2:-10}
source tests/e2e/x_session.sh
missing=$(xs_missing)
[ -z "$missing" ] || { echo "missing: $missing (scripts/test installs them)" >&2; exit 1; }

xs_start_x
xs_settled_home "$program" # also warms the caches
times=()
for ((run = 1; run <= runs; run++)); do
    t=$("$XS_PYTHON" "$XS_TOOLS/probe_log.py" until "painted main " 30 "$program" -NoInstall) ||
        xs_fail "run $run: the main window did not paint within 30 s"
    echo "run $run: $t s"
    times+=("$t")
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END {
    median = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
    printf "start-up to first paint of the main window, %d runs: min %.0f ms, median %.0f ms\n", NR, t[1] * 1000, median * 1000 }'
