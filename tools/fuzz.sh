#!/usr/bin/env bash
# Builds every libFuzzer harness and runs each for SECONDS on one core, from
# its seed corpus (copied, so the repository stays as it is), after replaying
# the inputs that once failed. Ends with one summary line; the exit status is
# non-zero when any target found something.
#   tools/fuzz.sh SECONDS [TARGET...]
set -euo pipefail
usage="usage: tools/fuzz.sh SECONDS [TARGET...]  (SECONDS: whole seconds per target, 1 to 99999)"
case "${1:-}" in
    -h | --help) echo "$usage"; exit 0 ;;
esac
# Checked before anything is built: libFuzzer takes a time it cannot read as
# no limit at all, and would run the first target forever.
if [ $# -lt 1 ] || ! [[ "$1" =~ ^[1-9][0-9]{0,4}$ ]]; then
    echo "$usage" >&2
    exit 2
fi
seconds=$1
shift
cd "$(dirname "$0")/.."
root=$(pwd)

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-dev >/dev/null
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# A target asked for by name must exist, or a typo would fuzz nothing and pass.
for wanted in "$@"; do
    if [ ! -e "build-fuzz/fuzz-targets/$wanted" ]; then
        echo "tools/fuzz.sh: no fuzz target $wanted; there are: $(ls build-fuzz/fuzz-targets 2>/dev/null | tr '\n' ' ')" >&2
        exit 2
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
targets=0 executions=0 crashes=0
for entry in build-fuzz/fuzz-targets/*; do
    name=$(basename "$entry")
    if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
    exe=$(sed -n 1p "$entry")
    src=$(sed -n 2p "$entry")
    targets=$((targets + 1))
    found=0

    if [ -d "$src/regressions/$name" ] && [ -n "$(ls -A "$src/regressions/$name")" ]; then
        if ! "$exe" "$src/regressions/$name"/* >"$work/$name.replay" 2>&1; then
            echo "$name: a regression input fails again" >&2
            tail -n 30 "$work/$name.replay" >&2
            found=1
        fi
    fi

    mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
    [ -d "$src/corpus/$name" ] && cp -r "$src/corpus/$name/." "$work/$name/corpus/"
    dict=()
    [ -f "$src/$name.dict" ] && dict=("-dict=$src/$name.dict")
    status=0
    "$exe" "$work/$name/corpus" "${dict[@]}" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$work/$name/artifacts/" -rss_limit_mb=2048 -timeout=10 \
        >"$work/$name.log" 2>&1 || status=$?
    runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$work/$name.log" | tail -n 1)
    runs=${runs:-0}
    executions=$((executions + runs))
    if [ "$status" -ne 0 ]; then
        found=1
        echo "$name: finding (exit $status); inputs kept in fuzz-findings/$name" >&2
        mkdir -p "fuzz-findings/$name"
        cp -r "$work/$name/artifacts/." "fuzz-findings/$name/" 2>/dev/null || true
        grep -m 1 -A 20 "ERROR\|runtime error\|Assertion\|deadly signal" "$work/$name.log" >&2 || tail -n 30 "$work/$name.log" >&2
    fi
    crashes=$((crashes + found))
    echo "$name: $runs executions in ${seconds} s"
done

echo "fuzz: $targets targets, $executions executions, $crashes crashes"
[ "$crashes" -eq 0 ]
