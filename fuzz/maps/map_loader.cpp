// The loader that picks the reader by name and first bytes, from memory: the
// first byte chooses the file name, the rest is the file.

#include <cstdlib>
#include <sstream>

#include "FuzzInput.h"
#include "GridProbe.h"
#include "MapLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > kMaxFuzzInput) return -1;
    static const char* const kNames[] = {"map.bmp", "map.map", "map", "a.MAP", ".map"};
    const std::string name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
    std::ostringstream out;
    const GridPtr grid = readMapBytes(fuzzText(data + 1, size - 1), name, out);
    const std::string expected = grid ? "width=" + std::to_string(grid->getWidth()) +
                                            " height=" + std::to_string(grid->getHeight()) + "\n"
                                      : "Cannot read " + name + ": ";
    if (out.str().rfind(expected, 0) != 0) std::abort();
    if (grid) probeGrid(*grid, data + 1, size - 1);
    return 0;
}
