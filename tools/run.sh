#!/usr/bin/env bash
# Build, then open the viewer on the bundled sample map and, once it is closed,
# run a battle with the built-in defaults. "tools/run.sh pathgrid" or
# "tools/run.sh battlesim" runs just that one; naming both runs both, in the
# order given. Only the programs that run are built, not the tests and
# benchmarks, so the first window opens soon.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
usage="usage: tools/run.sh [pathgrid|battlesim]..."
programs=()
for which in "$@"; do
    case "$which" in
        pathgrid | battlesim) programs+=("$which") ;;
        -h | --help) echo "$usage"; exit 0 ;;
        # Checked before anything is installed or built.
        *) echo "$usage" >&2; exit 2 ;;
    esac
done
[ ${#programs[@]} -gt 0 ] || programs=(pathgrid battlesim)

"$root/tools/install-deps.sh"
cmake -S "$root" --preset default >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target "${programs[@]}"

for program in "${programs[@]}"; do
    case "$program" in
        pathgrid) "$root/build/pathgrid/pathgrid" "$root/data/map.bmp" ;;
        battlesim) "$root/build/battlesim/battlesim" ;;
    esac
done
