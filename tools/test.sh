#!/usr/bin/env bash
# Fresh machine to green: install what is missing, build, run every test,
# then the unit tests once more under AddressSanitizer and UBSan, the
# concurrency tests under ThreadSanitizer, then every fuzz harness for
# FUZZ_SECONDS (20 by default; tools/fuzz.sh installs clang when missing).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
jobs=$(nproc)

cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs" -L unit

cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

tools/fuzz.sh "${FUZZ_SECONDS:-20}"
