#!/usr/bin/env bash
# Usage: consumer-test.sh BUILD_DIR SOURCE_DIR CXX
set -euo pipefail
build=$1 source=$2 cxx=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" > "$work/install.log"

# Only the package: headers, the two libraries, the CMake and pkg-config
# files, and the Python module when it was built.
(cd "$work/prefix" && find . -type f | sort | grep -v '/python3/dist-packages/gridlib\.') \
    > "$work/installed"
cat > "$work/expected" <<'LIST'
./include/gridlib/BitmapReader.h
./include/gridlib/BitmapWriter.h
./include/gridlib/Grid.h
./include/gridlib/GridPriv.h
./include/gridlib/HugePages.h
./include/gridlib/JumpSearchScratch.h
./include/gridlib/MapLoader.h
./include/gridlib/OctileMapReader.h
./include/gridlib/OctileMapWriter.h
./include/gridlib/OpenList.h
./include/gridlib/PositionBitmap.h
./include/gridlib/ScenarioReader.h
./include/gridlib/ScenarioWriter.h
./include/gridlib/SearchScratch.h
./lib/cmake/gridlib/gridlibConfig.cmake
./lib/cmake/gridlib/gridlibConfigVersion.cmake
./lib/cmake/gridlib/gridlibTargets-relwithdebinfo.cmake
./lib/cmake/gridlib/gridlibTargets.cmake
./lib/libgridlib-maps.a
./lib/libgridlib.a
./lib/pkgconfig/gridlib.pc
LIST
diff -u "$work/expected" "$work/installed" || fail "installed files differ"

# The example sets no C++ standard; the compiler's default is older than the
# headers need, so this also shows that the targets bring C++20.
cmake -S "$source/examples/consumer" -B "$work/consumer" -G Ninja \
      -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/configure.log" \
    || { cat "$work/configure.log"; fail "configure"; }
cmake --build "$work/consumer" > "$work/build.log" || { cat "$work/build.log"; fail "build"; }
out=$("$work/consumer/consumer")
[[ $out =~ ^[0-9]+\ questions\ from\ 4\ threads,\ as\ from\ one\;\ cost\ sum\ [0-9]+$ ]] \
    || fail "consumer printed: $out"
out=$("$work/consumer/consumer" "$source/data/map.bmp")
[[ $out == "width=64 height=64"$'\n'*" questions from 4 threads, as from one; cost sum "* ]] \
    || fail "consumer on the bundled map printed: $out"
if "$work/consumer/consumer" "$work/none.map" > "$work/missing.out"; then fail "a missing map exited 0"; fi
[[ $(cat "$work/missing.out") == "Cannot read $work/none.map: no such file" ]] \
    || fail "a missing map printed: $(cat "$work/missing.out")"

# The example of the library's guide, as a reader would paste it.
mkdir -p "$work/guide"
block() { awk -v kind="$1" '$0 == "```" kind {on = 1; next} /^```/ {on = 0} on' "$source/docs/gridlib.md"; }
block cmake > "$work/guide/CMakeLists.txt"
block cpp > "$work/guide/route.cpp"
cmake -S "$work/guide" -B "$work/guide/build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
      -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/guide.log" && cmake --build "$work/guide/build" \
      >> "$work/guide.log" || { cat "$work/guide.log"; fail "the guide's example does not build"; }
[[ $("$work/guide/build/route") == "cost 1210, 10 steps" ]] \
    || fail "the guide's example printed: $("$work/guide/build/route")"

# A version the package does not offer is refused.
mkdir -p "$work/future"
printf 'cmake_minimum_required(VERSION 3.25)\nproject(p LANGUAGES CXX)\nfind_package(gridlib 2.0 CONFIG REQUIRED)\n' \
    > "$work/future/CMakeLists.txt"
if cmake -S "$work/future" -B "$work/future/build" -DCMAKE_PREFIX_PATH="$work/prefix" \
    > "$work/future.log" 2>&1; then fail "gridlib 2.0 was found"; fi

# pkg-config, from the prefix the files were installed to.
cat > "$work/pc.cpp" <<'CPP'
#include <gridlib/Grid.h>
#include <iostream>
int main() {
    Grid grid(8, 8);
    Grid::Path path;
    std::cout << grid.findShortestPath(0, 0, 0, 7, 5, path) << ' ' << path.size() << '\n';
}
CPP
# shellcheck disable=SC2046
"$cxx" "$work/pc.cpp" -o "$work/pc" \
    $(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags --libs gridlib)
[[ $("$work/pc") == "910 7" ]] || fail "the pkg-config program printed: $("$work/pc")"
echo "package installed, found and used"
