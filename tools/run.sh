#!/usr/bin/env bash
# Build, then open the viewer on the bundled sample map and, once it is closed,
# run a battle with the built-in defaults. "tools/run.sh pathgrid" or
# "tools/run.sh battlesim" runs just that one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
which="${1:-all}"

"$root/tools/install-deps.sh"
cmake -S "$root" --preset default >/dev/null
cmake --build "$root/build" -j "$(nproc)"

if [ "$which" = all ] || [ "$which" = pathgrid ]; then
    "$root/build/pathgrid/pathgrid" "$root/data/map.bmp"
fi
if [ "$which" = all ] || [ "$which" = battlesim ]; then
    "$root/build/battlesim/battlesim"
fi
