// Bitmaps from memory: 24-bit, 32-bit (plain or through colour masks) and
// 8-bit palette files, with their header, mask and palette checks, padding
// and top-down rows, then a few questions on the map that loads. Whatever the
// input, the reader writes exactly one line: the size or the refusal.

#include <cstdlib>
#include <sstream>
#include <string>

#include "BitmapReader.h"
#include "FuzzInput.h"
#include "GridProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxFuzzInput) return -1;
    std::istringstream in(fuzzText(data, size));
    std::ostringstream out;
    const GridPtr grid = readBitmapGrid(in, "m.bmp", out);
    const std::string text = out.str();
    if (text.empty() || text.find('\n') != text.size() - 1) std::abort();
    if (!grid) {
        if (text.rfind("Cannot read m.bmp: ", 0) != 0) std::abort();
        return 0;
    }
    if (text != "width=" + std::to_string(grid->getWidth()) +
                    " height=" + std::to_string(grid->getHeight()) + "\n")
        std::abort();
    probeGrid(*grid, data, size);
    return 0;
}
