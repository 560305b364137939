// pathgrid-mapgen: writes the sample map for pathgrid as a 24-bit bitmap.
//   pathgrid-mapgen OUTPUT [WIDTH HEIGHT]     (default 64 x 64; OUTPUT "-":
//   standard output)

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "BitmapWriter.h"
#include "FileChecks.h"
#include "OutputFile.h"
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
    // Checked before the map is made; the file appears only once complete.
    std::string problem = fileio::checkFiles({{"OUTPUT", argv[1], fileio::Access::WRITE}});
    if (problem.empty()) {
        const std::vector<unsigned char> bytes = encodeBitmap(makeSampleMap(width, height));
        problem = fileio::writeFile(
            argv[1], std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    if (!problem.empty()) {
        std::cerr << "pathgrid-mapgen: " << problem << '\n';
        return 1;
    }
    return 0;
}
