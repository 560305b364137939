#!/bin/sh
# Remakes docs/pathgrid.png: pathgrid on the sample map under a private Xvfb,
# with the route of a 2 x 2 object drawn while the left button is held.
#   tools/pathgrid-screenshot.sh [PATHGRID [OUTPUT.png]]
# Defaults: build/pathgrid/pathgrid and docs/pathgrid.png of this checkout.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/pathgrid/pathgrid}
out=${2:-$root/docs/pathgrid.png}
work=$(mktemp -d)
. "$root/tools/pathgrid-xvfb.sh"
trap pg_cleanup EXIT
trap 'exit 1' INT TERM

pg_start_xvfb 646 642  # an odd size: our server, not another one
pg_start_viewer "$exe" "$root/data/map.bmp"

# 64 x 64 cells of 10 pixels: a 2 x 2 object from (8, 24) to (44, 34) has to
# take the corridor two cells wide.
xdotool mousemove 85 245 click 2
xdotool mousedown 1 mousemove 445 345
sleep 1
import -window root -crop 640x640+0+0 +repage "$out"
xdotool mouseup 1 key q
echo "wrote $out"
