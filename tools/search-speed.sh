#!/bin/sh
# Times the exact A* search and the jump point search on the same queries:
# for every scenario file in MAPS_DIR, gridbench runs its whole scenario with
# each search, one after the other in one process and on one thread, so that
# the times are one core's whatever the machine, and this prints per map the
# total query time of both and their ratio.
#   tools/search-speed.sh [GRIDBENCH [MAPS_DIR]]
# Defaults: build/gridbench/gridbench and ../shared/maps beside the repository.
# Environment: SIZE (object size, default 0).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/gridbench/gridbench}
maps=${2:-$root/../shared/maps}
size=${SIZE:-0}

printf '%-22s %8s %14s %14s %10s\n' map queries "exact ms" "jump ms" ratio
for scen in "$maps"/*.scen; do
    # Scenarios often name their map with a folder of their own; the map
    # lies beside the scenario here.
    map=$(awk -F '\t' 'NR == 2 { n = split($2, p, "/"); print p[n] }' "$scen")
    awk -F '\t' -v exe="$exe" -v scen="$scen" -v map="$maps/$map" -v size="$size" 'BEGIN {
        cmd = exe " --scen \"" scen "\" --map \"" map "\" --size " size " --search both --threads 1 2>/dev/null"
        while ((cmd | getline line) > 0) {
            if (line ~ /^map /) { split(line, w, ", "); queries = w[3] + 0 }
            if (line ~ /^exact search .* times as fast$/) {
                split(line, f, " "); exact = f[3]; jump = f[8]
            }
        }
        if (close(cmd) > 1 || exact == "") { printf "%s: gridbench failed\n", scen > "/dev/stderr"; exit 1 }
        n = split(map, parts, "/")
        printf "%-22s %8d %14.3f %14.3f %10.2f\n", parts[n], queries, exact, jump, exact / jump
    }'
done
