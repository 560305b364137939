// pathgrid-mapgen: writes the sample map for pathgrid as a 24-bit bitmap.
//   pathgrid-mapgen OUTPUT [WIDTH HEIGHT]     (default 64 x 64)

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "BmpWriter.h"
#include "SampleMap.h"

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

}  // namespace

int main(int argc, char** argv) {
    int width = 64;
    int height = 64;
    if (!(argc == 2 || (argc == 4 && parseSide(argv[2], width) && parseSide(argv[3], height)))) {
        std::cerr << "usage: pathgrid-mapgen OUTPUT [WIDTH HEIGHT]  (sides " << kSampleMapMinSide
                  << " to " << kMaxSide << ")\n";
        return 1;
    }
    if (!writeBytes(argv[1], encodeBitmap(makeSampleMap(width, height)))) {
        std::cerr << "pathgrid-mapgen: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
