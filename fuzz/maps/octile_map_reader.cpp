// Octile text maps from memory, then a few questions on the map that loads.

#include <cstdlib>
#include <sstream>

#include "FuzzInput.h"
#include "GridProbe.h"
#include "OctileMapReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxFuzzInput) return -1;
    std::istringstream in(fuzzText(data, size));
    std::string error;
    const GridPtr grid = parseOctileMap(in, error);
    if (!grid) {
        if (error.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    probeGrid(*grid, data, size);
    return 0;
}
