#!/usr/bin/env bash
# The 3-D view on a private X server: its pixels with OpenGL (Mesa's software renderer), then its
# failure path with OpenGL switched off. Skipped (77) when the X tools are missing.
# Usage: tests/e2e/view3d.sh GUI_LOGIC_VIEW3D
set -uo pipefail
program=$1
source "$(dirname "$0")/x_session.sh"
missing=$(xs_missing)
[ -n "$missing" ] && { echo "skipped: missing $missing"; exit 77; }
xs_start_x
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
"$program" || exit 1
QT_XCB_GL_INTEGRATION=none MW_VIEW3D_NO_GL=1 "$program" || exit 1
