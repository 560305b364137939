#include "MapLoader.h"

#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>

#include "BitmapReader.h"
#include "FileAccess.h"
#include "OctileMapReader.h"

namespace {

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t m = std::strlen(suffix);
    return text.size() >= m && text.compare(text.size() - m, m, suffix) == 0;
}

}  // namespace

GridPtr readMapGrid(std::istream& in, const std::string& name, std::ostream& out) {
    char start[4] = {};
    in.read(start, sizeof start);
    in.clear();  // a file shorter than the signature is for the readers to refuse
    in.seekg(0);
    const bool bitmapSignature = start[0] == 'B' && start[1] == 'M';
    const bool octileStart = std::memcmp(start, "type", 4) == 0;
    if (octileStart || (!bitmapSignature && endsWith(name, ".map"))) {
        return readOctileGrid(in, name, out);
    }
    return readBitmapGrid(in, name, out);
}

GridPtr readMapBytes(std::string_view bytes, const std::string& name, std::ostream& out) {
    std::istringstream in{std::string(bytes), std::ios::binary};
    return readMapGrid(in, name, out);
}

GridPtr loadMapFile(const char* filename, std::ostream& out) {
    std::ifstream file;
    std::string reason;
    if (!openInput(filename, file, reason)) {
        out << "Cannot read " << filename << ": " << reason << '\n';
        return nullptr;
    }
    return readMapGrid(file, filename, out);
}
