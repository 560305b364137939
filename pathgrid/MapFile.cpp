#include "MapFile.h"

#include <cstring>
#include <fstream>
#include <ostream>

#include "BmpLoader.h"
#include "OctileMap.h"

namespace {

bool endsWith(const char* text, const char* suffix) {
    const std::size_t n = std::strlen(text);
    const std::size_t m = std::strlen(suffix);
    return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

}  // namespace

GridPtr loadMapFile(const char* filename, std::ostream& out) {
    char start[4] = {};
    {
        std::ifstream file(filename, std::ios::binary);
        if (!file) {
            out << "Cannot read " << filename << '\n';
            return nullptr;
        }
        file.read(start, sizeof start);
    }
    const bool bitmapSignature = start[0] == 'B' && start[1] == 'M';
    const bool octileStart = std::memcmp(start, "type", 4) == 0;
    if (octileStart || (!bitmapSignature && endsWith(filename, ".map"))) {
        return loadOctileGrid(filename, out);
    }
    return loadBitmapGrid(filename, out);
}
