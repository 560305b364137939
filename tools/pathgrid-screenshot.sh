#!/bin/sh
# Remakes the README's pictures of pathgrid under a private Xvfb:
#   docs/pathgrid.png       the sample map, the route of a 2 x 2 object
#   docs/pathgrid-2048.png  a generated 2048 x 2048 map of lakes, whole, with a route
#   docs/pathgrid-zoom.png  a generated 512 x 512 maze zoomed 8 times, with the
#                           search tint and the info band below the map
#   tools/pathgrid-screenshot.sh [BUILD_DIR [OUTPUT_DIR]]
# Defaults: build/ and docs/ of this checkout.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/docs}
exe=$build/pathgrid/pathgrid
work=$(mktemp -d)
. "$root/tools/pathgrid-xvfb.sh"
trap pg_cleanup EXIT
trap 'exit 1' INT TERM

# The whole window: 640 x 640, and the info band's rows below when shown.
shoot() {
    sleep 1
    size=$(xdotool getwindowgeometry "$pg_window" | sed -n 's/.*Geometry: //p')
    import -window root -crop "$size+0+0" +repage "$1"
    xdotool mouseup 1 key q
    wait "$pg_viewer_pid" 2>/dev/null || true
    pg_viewer_pid=""
    echo "wrote $1"
}

pg_start_xvfb 646 678  # an odd size: our server, not another one; room for the info band

# 64 x 64 cells of 10 pixels: a 2 x 2 object from (8, 24) to (44, 34) has to
# take the corridor two cells wide.
pg_start_viewer "$exe" "$root/data/map.bmp"
xdotool mousemove 85 245 click 2
xdotool mousedown 1 mousemove 445 345
shoot "$out/pathgrid.png"

"$build/tools/octile-mapgen" --kind lakes --width 2048 --height 2048 --queries 0 --seed 5 \
    --out "$work/lakes-2048" >/dev/null
pg_start_viewer "$exe" "$work/lakes-2048.map"
xdotool mousemove 40 60 mousedown 1 mousemove 600 570
shoot "$out/pathgrid-2048.png"

"$build/tools/octile-mapgen" --kind maze --corridor 3 --width 512 --height 512 --queries 0 \
    --seed 3 --out "$work/maze-512" >/dev/null
pg_start_viewer "$exe" "$work/maze-512.map" --info
xdotool mousemove 320 320 key Prior key Prior key Prior key F2
xdotool mousemove 25 25 mousedown 1 mousemove 585 455
shoot "$out/pathgrid-zoom.png"
