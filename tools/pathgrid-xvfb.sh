# Shared by the pathgrid scripts (sourced, POSIX sh): a private Xvfb and the
# viewer on it. The caller sets `work` to a scratch directory and calls
# pg_cleanup from its exit trap.

pg_xvfb_pid=""
pg_viewer_pid=""

# pg_start_xvfb WIDTH HEIGHT: starts a server and exports DISPLAY. Other X
# servers on the machine may come and go meanwhile: retry until the display
# answers with the screen size we asked for.
pg_start_xvfb() {
    for attempt in 1 2 3; do
        if pg_try_xvfb "$1" "$2" && [ "$(xdotool getdisplaygeometry 2>/dev/null)" = "$1 $2" ]; then
            return 0
        fi
        pg_stop_xvfb
    done
    echo "Xvfb did not start" >&2
    return 1
}

pg_try_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${1}x${2}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
    pg_xvfb_pid=$!
    tries=0
    until grep -q . "$work/display" 2>/dev/null; do
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || return 1
        sleep 0.05
    done
    DISPLAY=":$(head -n 1 "$work/display")"
    export DISPLAY
}

# pg_start_viewer PATHGRID MAP [OPTION...]: starts the viewer, waits for its
# window and moves it to (0, 0); sets pg_window.
pg_start_viewer() {
    "$@" >"$work/viewer.log" 2>&1 &
    pg_viewer_pid=$!
    tries=0
    pg_window=""
    while [ -z "$pg_window" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || { echo "no pathgrid window" >&2; cat "$work/viewer.log" >&2; return 1; }
        kill -0 "$pg_viewer_pid" 2>/dev/null || { cat "$work/viewer.log" >&2; return 1; }
        pg_window=$(xdotool search --onlyvisible --name '^Quorvane - Assignment Example App$' 2>/dev/null | head -n 1) || true
        [ -n "$pg_window" ] || sleep 0.05
    done
    # Without a window manager the window starts at (-1, -1).
    xdotool windowmove --sync "$pg_window" 0 0
}

pg_stop_viewer() {
    if [ -n "$pg_viewer_pid" ]; then
        kill "$pg_viewer_pid" 2>/dev/null || true
        wait "$pg_viewer_pid" 2>/dev/null || true
        pg_viewer_pid=""
    fi
}

pg_stop_xvfb() {
    if [ -n "$pg_xvfb_pid" ]; then
        kill "$pg_xvfb_pid" 2>/dev/null || true
        wait "$pg_xvfb_pid" 2>/dev/null || true
        pg_xvfb_pid=""
    fi
}

pg_cleanup() {
    pg_stop_viewer
    pg_stop_xvfb
    rm -rf "$work"
}
