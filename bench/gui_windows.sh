#!/usr/bin/env bash
# The module windows' speed on a private X server (xcb, as a desktop runs the program): the load of the
# largest built-in patch into windows and 128 open windows idling. See bench/gui/patch_windows.cpp.
# Usage: bench/gui_windows.sh [PATH-TO-murmelwerk-window-bench] [SECONDS]
set -uo pipefail
cd "$(dirname "$0")/.."
bench=$(realpath "${1:-build/bin/murmelwerk-window-bench}")
source tests/e2e/x_session.sh
missing=$(xs_missing)
[ -z "$missing" ] || { echo "missing: $missing (scripts/test installs them)" >&2; exit 1; }
xs_start_x
xs_fresh_home
QT_QPA_PLATFORM=xcb "$bench" "${2:-10}"
