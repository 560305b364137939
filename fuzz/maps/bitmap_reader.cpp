// Bitmaps from memory: header checks, padding, top-down rows, then a few
// questions on the map that loads.

#include <cstdlib>
#include <sstream>

#include "BitmapReader.h"
#include "FuzzInput.h"
#include "GridProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxFuzzInput) return -1;
    std::istringstream in(fuzzText(data, size));
    std::ostringstream out;
    const GridPtr grid = readBitmapGrid(in, "m.bmp", out);
    if (!grid) {
        if (out.str().rfind("Cannot read m.bmp: ", 0) != 0) std::abort();
        return 0;
    }
    probeGrid(*grid, data, size);
    return 0;
}
