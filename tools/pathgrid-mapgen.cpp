// pathgrid-mapgen: writes the sample map for pathgrid as a 24-bit bitmap.
//   pathgrid-mapgen OUTPUT [WIDTH HEIGHT]     (default 64 x 64)

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "BitmapWriter.h"
#include "SampleMapGenerator.h"

namespace {

constexpr int kMaxSide = 4096;

bool parseSide(const char* text, int& side) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0') return false;
    if (value < kSampleMapMinSide || value > kMaxSide) return false;
    side = int(value);
    return true;
}

void printUsage(std::ostream& out) {
    out << "usage: pathgrid-mapgen OUTPUT [WIDTH HEIGHT]  (sides " << kSampleMapMinSide << " to "
        << kMaxSide << ")\n";
}

}  // namespace

int main(int argc, char** argv) {
    // Asked for help, it must not take "--help" for the name of the bitmap.
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(std::cout);
        return 0;
    }
    int width = 64;
    int height = 64;
    if (!(argc == 2 || (argc == 4 && parseSide(argv[2], width) && parseSide(argv[3], height)))) {
        printUsage(std::cerr);
        return 1;
    }
    std::string reason;
    if (!writeBytes(argv[1], encodeBitmap(makeSampleMap(width, height)), &reason)) {
        std::cerr << "pathgrid-mapgen: cannot write " << argv[1] << ": " << reason << '\n';
        return 1;
    }
    return 0;
}
