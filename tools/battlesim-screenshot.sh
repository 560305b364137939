#!/bin/sh
# Makes docs/battlesim.png: a battle in mid-fight, drawn by battlesim in its
# own window on a private Xvfb display, captured with ImageMagick's import.
# Usage: tools/battlesim-screenshot.sh [path/to/battlesim] [output.png]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
prog=${1:-"$root/build/battlesim/battlesim"}
out=${2:-"$root/docs/battlesim.png"}
# A fixed seed, so the same picture comes out every time: 25 steps in.
width=500
height=500
delay=100
seed=20261207
wait_steps=25

[ -x "$prog" ] || { echo "battlesim not found at $prog (build it first)" >&2; exit 1; }
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (tools/install-deps.sh)" >&2; exit 1; }
done

tmp=$(mktemp -d)
xvfb_pid=
sim_pid=
cleanup() {
    set +e
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    sim_pid=
    xvfb_pid=
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'cleanup; exit 1' INT TERM

# Xvfb picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
i=0
while [ ! -s "$tmp/display" ]; do
    i=$((i + 1))
    [ "$i" -le 100 ] || { echo "Xvfb did not start" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$tmp/display")
export DISPLAY

# 12 marines and 6 tanks a side; red most dangerous first, blue closest first.
"$prog" "$width" "$height" "$delay" "$seed" 12 6 2 1 1 1 >"$tmp/out" 2>"$tmp/err" &
sim_pid=$!

window=$(timeout 10 xdotool search --sync --name '^Quorvane - Assignment Example App$' | head -n 1)
[ -n "$window" ] || { echo "no battlesim window appeared" >&2; cat "$tmp/err" >&2; exit 1; }
# Without a window manager the window sits one pixel off screen.
xdotool windowmove "$window" 0 0
i=0
while [ "$(tr -cd . <"$tmp/out" | wc -c)" -lt "$wait_steps" ]; do
    i=$((i + 1))
    kill -0 "$sim_pid" 2>/dev/null || { echo "the battle ended before the picture" >&2; exit 1; }
    [ "$i" -le 200 ] || { echo "the battle did not advance" >&2; exit 1; }
    sleep 0.05
done
import -window root -crop "${width}x${height}+0+0" +repage "$out"
echo "wrote $out"
