#!/bin/sh
# Measures what one frame of pathgrid costs in path mode and in reach mode on
# generated 256 x 256 and 512 x 512 maps: under a private Xvfb the pointer is
# moved FRAMES times with a button held, one move per PAUSE seconds (long
# enough that every move gets its own frame), and the CPU time that the viewer
# and the X server used meanwhile is divided by the number of moves.
#   tools/pathgrid-frametime.sh [PATHGRID [MAPGEN]]
# Defaults: build/pathgrid/pathgrid and build/tools/pathgrid-mapgen.
# Environment: FRAMES (default 20), PAUSE (seconds, default 0.4).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/pathgrid/pathgrid}
mapgen=${2:-$root/build/tools/pathgrid-mapgen}
frames=${FRAMES:-20}
pause=${PAUSE:-0.4}
work=$(mktemp -d)
. "$root/tools/pathgrid-xvfb.sh"
trap pg_cleanup EXIT
trap 'exit 1' INT TERM
ticks_per_second=$(getconf CLK_TCK)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# measure LABEL BUTTON X0 Y0 X1 Y1: BUTTON (none for idle) pressed at (X0, Y0),
# then the pointer alternates between (X1, Y1) and 8 pixels below it.
measure() {
    xdotool mousemove "$3" "$4"
    [ "$2" = none ] || xdotool mousedown "$2"
    sleep 1
    viewer0=$(cpu_ticks "$pg_viewer_pid")
    server0=$(cpu_ticks "$pg_xvfb_pid")
    i=0
    while [ "$i" -lt "$frames" ]; do
        if [ $((i % 2)) -eq 0 ]; then xdotool mousemove "$5" "$6"; else xdotool mousemove "$5" $(($6 + 8)); fi
        sleep "$pause"
        i=$((i + 1))
    done
    viewer1=$(cpu_ticks "$pg_viewer_pid")
    server1=$(cpu_ticks "$pg_xvfb_pid")
    [ "$2" = none ] || xdotool mouseup "$2"
    sleep 1
    awk -v label="$1" -v v=$((viewer1 - viewer0)) -v s=$((server1 - server0)) \
        -v n="$frames" -v hz="$ticks_per_second" -v pause="$pause" 'BEGIN {
        vm = 1000 * v / hz / n; sm = 1000 * s / hz / n
        printf "%-14s %8.1f ms in pathgrid %6.1f ms in Xvfb  per frame (%d frames)\n", label, vm, sm, n
        if (vm + sm > 800 * pause) print "  frames may have merged: raise PAUSE"
    }'
}

pg_start_xvfb 646 642
for side in 256 512; do
    "$mapgen" "$work/map$side.bmp" "$side" "$side"
    pg_start_viewer "$exe" "$work/map$side.bmp"
    # Start west of the central wall, goal east of it: every search crosses
    # through a corridor. Reach mode answers for every position of the map.
    # Idle mode draws the tiles and one object: the cost of the picture alone.
    measure "${side}x$side idle" none 40 290 600 300
    measure "${side}x$side path" 1 40 290 600 300
    measure "${side}x$side reach" 3 40 290 60 300
    xdotool key q
    wait "$pg_viewer_pid" 2>/dev/null || true
    pg_viewer_pid=""
done
