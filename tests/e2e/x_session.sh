# A private X session for driving the program: a virtual X server with a window manager and a
# notification area, a fresh home (fresh settings, ALSA playing into the null device), the program
# with its debug probe, and clicks on controls found through the probe's lines.
# Sourced by tests/e2e/main_window.sh, scripts/screenshots and bench/gui_*.sh.
#
#   xs_missing                   prints what is missing to run a session (nothing when complete)
#   xs_start_x                   starts the X server, the window manager and the tray; exports DISPLAY
#   xs_start_weston              then a Wayland desktop in it: Weston full screen in a window of that
#                                X server, which gives it a real pointer and keyboard, with XWayland;
#                                sets XS_XWAYLAND to XWayland's display (DISPLAY stays, for xdotool);
#                                after xs_fresh_home, whose XDG_RUNTIME_DIR it takes
#   xs_fresh_home                a new empty HOME and XDG_CONFIG_HOME
#   xs_launch PROGRAM [ARGS...]  starts the program with the probe; sets XS_PID, writes $XS_LOG
#   xs_wait REGEX [SECONDS]      waits for a probe line matching REGEX (extended, whole line) that
#                                came after the last click
#   xs_click NAME [SECONDS]      waits for control NAME in a shown window and clicks its centre;
#                                sets XS_WINDOW to the name of the control's window
#   xs_text NAME first|last      a text the probe reported for NAME
#   xs_wait_exit [SECONDS]       waits for the program to end; sets XS_STATUS
#   xs_first_start BUTTON        answers the language dialog with BUTTON ("english", "japanese", ...;
#                                "english" also goes on without a language dialog),
#                                waits for the main window and closes the welcome dialog if one comes
#   xs_exit_program              clicks the main window's Exit, answers questions with Yes (or OK;
#                                unsaved changes are discarded),
#                                waits for the end; sets XS_STATUS
#   xs_settled_home PROGRAM      a fresh home in which PROGRAM has run once (English, welcome closed,
#                                closed by Exit), so that it starts straight into the main window
#   xs_stop                      ends everything started here (also on exit, by trap)
#   xs_fail MESSAGE              prints MESSAGE and the probe log, then exits 1

# In a sanitizer build, programs run here make OpenGL contexts (the 3-D view): Mesa's driver is unloaded
# before LeakSanitizer looks, so what it keeps for the process's life can be neither named nor
# suppressed. Leaks are looked for in the offscreen GUI tests and the core's tests instead.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

XS_DIR=$(mktemp -d "${TMPDIR:-/tmp}/murmelwerk-x.XXXXXX")
XS_LOG=$XS_DIR/probe.log
XS_TOOLS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The system's interpreter starts fastest (a version manager's shim can take a second per call).
XS_PYTHON=$(command -v /usr/bin/python3 || command -v python3)
XS_PIDS=()
XS_PID=
XS_STATUS=
XS_MARK=0
XS_WINDOW=

xs_missing() {
    local tool missing=()
    for tool in Xvfb xdotool openbox python3 xprop; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    command -v stalonetray >/dev/null || command -v trayer >/dev/null || missing+=("stalonetray or trayer")
    echo "${missing[*]}"
}

xs_stop() {
    local pid
    [ -n "$XS_PID" ] && kill "$XS_PID" 2>/dev/null && wait "$XS_PID" 2>/dev/null
    XS_PID=
    for ((i = ${#XS_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${XS_PIDS[i]}
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    XS_PIDS=()
    rm -rf "$XS_DIR"
}
trap xs_stop EXIT

xs_fail() {
    echo "FAILED: $*" >&2
    echo "---- probe log ($XS_LOG) ----" >&2
    cat "$XS_LOG" >&2 2>/dev/null
    echo "---- program's standard error ----" >&2
    cat "$XS_DIR/stderr.log" >&2 2>/dev/null
    exit 1
}

# Runs a command until it succeeds or the time runs out (in tenths of a second).
xs_until() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    while ! "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

xs_start_x() {
    local fdfile=$XS_DIR/display
    # -displayfd lets the server pick a free display number and tell it.
    Xvfb -displayfd 3 -dpi 96 -screen 0 1600x1000x24 -nolisten tcp 3>"$fdfile" >"$XS_DIR/xvfb.log" 2>&1 &
    XS_PIDS+=($!)
    xs_until 10 test -s "$fdfile" || xs_fail "the X server did not start: $(cat "$XS_DIR/xvfb.log")"
    export DISPLAY=:$(head -n1 "$fdfile")
    openbox --sm-disable >"$XS_DIR/openbox.log" 2>&1 &
    XS_PIDS+=($!)
    xs_until 10 xs_window_manager_ready || xs_fail "the window manager did not start"
    if command -v stalonetray >/dev/null; then
        stalonetray --geometry 4x1-0+0 >/dev/null 2>&1 &
    else
        trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
    fi
    XS_PIDS+=($!)
    xs_until 10 xs_tray_ready || xs_fail "the notification area did not start"
}

xs_start_weston() {
    local log=$XS_DIR/weston.log geometry
    geometry=$(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/--width=\1 --height=\2/p')
    # $geometry is two words.
    # shellcheck disable=SC2086
    weston --backend=x11-backend.so --fullscreen $geometry --xwayland \
        --socket=murmelwerk-wl --idle-time=0 >"$log" 2>&1 &
    XS_PIDS+=($!)
    xs_until 10 grep -q "listening on display :" "$log" || xs_fail "Weston did not start: $(cat "$log")"
    XS_XWAYLAND=$(grep -o "listening on display :[0-9]*" "$log" | head -n1 | grep -o ":[0-9]*")
    # XWayland starts with its first client, Weston's window manager a moment after it.
    xs_until 10 env DISPLAY="$XS_XWAYLAND" xdpyinfo >/dev/null 2>&1 || xs_fail "XWayland did not start: $(cat "$log")"
    xs_until 10 grep -q "created wm" "$log" || xs_fail "Weston's X11 window manager did not start: $(cat "$log")"
}

xs_window_manager_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"
}

xs_tray_ready() {
    xprop -root 2>/dev/null | grep -q "^_NET_SYSTEM_TRAY_S0\|_NET_SYSTEM_TRAY" ||
        xdotool search --limit 1 --class "stalonetray|trayer" >/dev/null 2>&1
}

xs_fresh_home() {
    export HOME=$XS_DIR/home
    export XDG_CONFIG_HOME=$HOME/.config
    export XDG_RUNTIME_DIR=$XS_DIR/run
    export TMPDIR=$XS_DIR/tmp # sockets and locks kept apart from other sessions
    # Nothing of a surrounding desktop: no Wayland, no session bus (the tray icon stays on this server).
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE SESSION_MANAGER
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$XS_DIR/no-session-bus
    rm -rf "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # Sound goes to ALSA's null device.
    printf '%s\n' 'pcm.!default { type null }' 'ctl.!default { type hw card 0 }' >"$HOME/.asoundrc"
}

xs_launch() {
    : >"$XS_LOG"
    XS_MARK=0
    MURMELWERK_DEBUG=1 QT_QPA_PLATFORM=xcb "$@" >"$XS_LOG" 2>"$XS_DIR/stderr.log" &
    XS_PID=$!
}

xs_wait() {
    local regex=$1 seconds=${2:-10}
    xs_until "$seconds" xs_seen "$regex" || xs_fail "no probe line /$regex/ within $seconds s"
}

xs_seen() {
    tail -n +$((XS_MARK + 1)) "$XS_LOG" | grep -qE "^($1)\$"
}

xs_centre() {
    "$XS_PYTHON" "$XS_TOOLS/probe_log.py" centre "$XS_LOG" "$1" >"$XS_DIR/centre" 2>/dev/null
}

xs_click() {
    local name=$1 seconds=${2:-10}
    xs_until "$seconds" xs_centre "$name" || xs_fail "no shown control \"$name\" within $seconds s"
    # Let the window settle where the window manager puts it, then take its latest place.
    sleep 0.3
    xs_centre "$name" || xs_fail "control \"$name\" went away"
    read -r x y XS_WINDOW <"$XS_DIR/centre"
    XS_MARK=$(wc -l <"$XS_LOG")
    xdotool mousemove --sync "$x" "$y" click 1
}

xs_text() {
    "$XS_PYTHON" "$XS_TOOLS/probe_log.py" text "$XS_LOG" "$1" "$2"
}

xs_enabled() {
    "$XS_PYTHON" "$XS_TOOLS/probe_log.py" enabled "$XS_LOG" "$1"
}

xs_wait_exit() {
    local seconds=${1:-10}
    xs_until "$seconds" xs_program_ended || xs_fail "the program did not end within $seconds s"
    wait "$XS_PID"
    XS_STATUS=$?
    XS_PID=
}

xs_program_ended() {
    ! kill -0 "$XS_PID" 2>/dev/null
}

xs_first_start() {
    XS_LANGUAGE=$1
    xs_until 15 xs_language_or_main ||
        xs_fail "neither the language dialog's \"$1\" nor the main window within 15 s"
    xs_centre "$1" && xs_click "$1"
    xs_wait 'painted main [0-9]+' 10
    # The welcome dialog: its OK, or the window manager's close (Alt+F4) when it has none.
    if xs_until 3 xs_other_window main; then
        read -r XS_WINDOW id <"$XS_DIR/other"
        if xs_centre ok; then
            xs_click ok
        else
            XS_MARK=$(wc -l <"$XS_LOG")
            xdotool windowactivate --sync "$id" key alt+F4
        fi
        xs_wait "hidden $(xs_literal "$XS_WINDOW")" 5
    fi
}

# A text as an extended regular expression that matches just it.
xs_literal() {
    printf '%s' "$1" | sed 's/[][\\.*^$()+?{}|]/\\&/g'
}

# English is the language without a choice: a program without the language dialog starts in it.
xs_language_or_main() {
    xs_centre "$XS_LANGUAGE" || { [ "$XS_LANGUAGE" = english ] && xs_seen "painted main [0-9]+"; }
}

xs_other_window() {
    "$XS_PYTHON" "$XS_TOOLS/probe_log.py" other-window "$XS_LOG" "$1" >"$XS_DIR/other" 2>/dev/null
}

xs_exit_program() {
    xs_click close
    for ((i = 0; i < 50; i++)); do
        xs_program_ended && break
        if xs_centre yes; then
            xs_click yes 1
        elif xs_centre ok; then
            xs_click ok 1
        elif xs_centre discard; then
            xs_click discard 1
        else
            sleep 0.2
        fi
    done
    xs_wait_exit 10
}

xs_settled_home() {
    xs_fresh_home
    xs_launch "$1" -NoInstall
    xs_first_start english
    xs_exit_program
    [ "$XS_STATUS" -eq 0 ] || xs_fail "the program ended with status $XS_STATUS"
}
