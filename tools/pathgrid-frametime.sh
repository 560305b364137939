#!/bin/sh
# Measures what one frame of pathgrid costs on generated maps of each side in
# SIDES, at the whole-map view and zoomed in until cells are drawn as inset
# squares: under a private Xvfb the viewer is made to redraw FRAMES times, one
# redraw per PAUSE seconds (long enough that every one gets its own frame),
# and the CPU time that the viewer and the X server used meanwhile is divided
# by the number of redraws.
#   tools/pathgrid-frametime.sh [PATHGRID [MAPGEN]]
# Defaults: build/pathgrid/pathgrid and build/tools/pathgrid-mapgen.
# Environment: SIDES (default "512 2048 4096"), FRAMES (default 20), PAUSE
# (seconds, default 0.4), ZOOM=0 for the whole-map view only (for viewers
# without zoom), VIEWER_ARGS for options put before the map on the viewer's
# command line (default none; e.g. "--search jump" to time the jump search).
#
# The frames, each moving the pointer between two spots 8 pixels apart:
#   idle     no button: the tiles and one object, the cost of the picture
#   reach    right button: every position the pointer's sector holds
#   search   left button, a new goal each frame: search and drawing
#   route    left button held still, the picture redrawn by toggling the info
#            band: the route's drawing without its search, plus the window
#            growing or shrinking by the band's rows each frame (viewers
#            without F1 redraw nothing here)
# With the defaults a run takes about four minutes: per side and view, four
# kinds of frame of FRAMES x PAUSE seconds each, plus the waits until the
# viewer is idle.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/pathgrid/pathgrid}
mapgen=${2:-$root/build/tools/pathgrid-mapgen}
sides=${SIDES:-512 2048 4096}
frames=${FRAMES:-20}
pause=${PAUSE:-0.4}
zoom=${ZOOM:-1}
viewer_args=${VIEWER_ARGS:-}
work=$(mktemp -d)
. "$root/tools/pathgrid-xvfb.sh"
trap pg_cleanup EXIT
trap 'exit 1' INT TERM
ticks_per_second=$(getconf CLK_TCK)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Waits until the viewer has drawn everything asked of it so far (a long
# search may still be running): its CPU time stands still for half a second.
settle() {
    before=$(cpu_ticks "$pg_viewer_pid")
    tries=0
    while [ "$tries" -lt 120 ]; do
        sleep 0.5
        now=$(cpu_ticks "$pg_viewer_pid")
        [ "$now" != "$before" ] || return 0
        before=$now
        tries=$((tries + 1))
    done
}

# measure LABEL BUTTON X0 Y0 X1 Y1 [route]: BUTTON (none for idle) pressed at
# (X0, Y0), then per frame the pointer alternates between (X1, Y1) and 8 pixels
# below it, or, for a route frame, F1 is pressed twice at (X1, Y1).
measure() {
    xdotool mousemove "$3" "$4"
    [ "$2" = none ] || xdotool mousedown "$2"
    xdotool mousemove "$5" "$6"
    settle
    viewer0=$(cpu_ticks "$pg_viewer_pid")
    server0=$(cpu_ticks "$pg_xvfb_pid")
    i=0
    while [ "$i" -lt "$frames" ]; do
        if [ "${7:-}" = route ]; then
            xdotool key F1
        elif [ $((i % 2)) -eq 0 ]; then
            xdotool mousemove "$5" "$6"
        else
            xdotool mousemove "$5" $(($6 + 8))
        fi
        sleep "$pause"
        i=$((i + 1))
    done
    viewer1=$(cpu_ticks "$pg_viewer_pid")
    server1=$(cpu_ticks "$pg_xvfb_pid")
    [ "$2" = none ] || xdotool mouseup "$2"
    settle
    awk -v label="$1" -v v=$((viewer1 - viewer0)) -v s=$((server1 - server0)) \
        -v n="$frames" -v hz="$ticks_per_second" -v pause="$pause" 'BEGIN {
        vm = 1000 * v / hz / n; sm = 1000 * s / hz / n
        printf "%-22s %8.1f ms in pathgrid %6.1f ms in Xvfb  per frame (%d frames)\n", label, vm, sm, n
        if (vm + sm > 800 * pause) print "  frames may have merged: raise PAUSE"
    }'
}

# The four kinds of frame at the current view. The sample map's central wall
# lies between x = 280 and 340 at every side: a search from its west to its
# east crosses it through a corridor.
measure_view() {
    measure "$1 idle" none 40 290 600 300
    measure "$1 reach" 3 40 290 60 300
    measure "$1 search" 1 40 290 600 300
    measure "$1 route" 1 40 290 600 300 route
}

pg_start_xvfb 646 678  # room for the info band below the map
for side in $sides; do
    "$mapgen" "$work/map$side.bmp" "$side" "$side"
    # Unquoted on purpose: each word of VIEWER_ARGS is one argument.
    pg_start_viewer "$exe" $viewer_args "$work/map$side.bmp"
    measure_view "${side}x$side whole"
    if [ "$zoom" = 1 ]; then
        # Zoom in about the centre until a cell is at least 4 pixels wide.
        levels=0 cell_px=640
        while [ $((cell_px * (1 << levels))) -lt $((4 * side)) ]; do levels=$((levels + 1)); done
        xdotool mousemove 320 320
        i=0
        while [ "$i" -lt "$levels" ]; do xdotool key Prior; i=$((i + 1)); done
        settle
        measure_view "${side}x$side zoom $((1 << levels))x"
    fi
    xdotool key q
    wait "$pg_viewer_pid" 2>/dev/null || true
    pg_viewer_pid=""
done
