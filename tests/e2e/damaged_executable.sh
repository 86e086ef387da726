#!/usr/bin/env bash
# End to end: a copy of the program with one byte changed reports that its file is damaged (string 34)
# and ends when the message is closed.
# Usage: damaged_executable.sh PATH-TO-murmelwerk
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
xs_settled_home "$program"

# The copy keeps the program's name (and so its settings); one byte in the middle is changed.
mkdir -p "$XS_DIR/damaged"
copy=$XS_DIR/damaged/$(basename "$program")
cp "$program" "$copy"
"$XS_PYTHON" - "$copy" <<'PY'
import os, sys
path = sys.argv[1]
with open(path, "r+b") as f:
    middle = os.path.getsize(path) // 2
    f.seek(middle)
    byte = f.read(1)[0]
    f.seek(middle)
    f.write(bytes([byte ^ 0x01]))
PY

xs_launch "$copy" -NoInstall
xs_wait 'text .* The file that runs this program has become corrupted\..*' 15 ||
    xs_fail "the damaged copy does not report its damage"
xs_click ok
xs_wait_exit 10
[ "$XS_STATUS" = 1 ] || xs_fail "the damaged copy ended with status $XS_STATUS, not 1"
if grep -q '^window main ' "$XS_LOG"; then xs_fail "the damaged copy opened its main window"; fi
echo "PASS: the damaged copy reported its damage and ended"
