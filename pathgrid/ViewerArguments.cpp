#include "ViewerArguments.h"

#include <cstring>
#include <initializer_list>
#include <ostream>

namespace {

constexpr const char* kUsage =
    "usage: pathgrid [--info] [MAP]\n"
    "  MAP: a 24-bit uncompressed bitmap or an octile text map (.map); default map.bmp\n"
    "  --info: show the info line from the start (F1 shows and hides it)\n";

bool isWindowOptionWithValue(const char* arg) {
    return std::strcmp(arg, "-display") == 0 || std::strcmp(arg, "-geometry") == 0;
}

bool isWindowFlag(const char* arg) {
    for (const char* flag : {"-direct", "-indirect", "-iconic", "-gldebug", "-sync"}) {
        if (std::strcmp(arg, flag) == 0) return true;
    }
    return false;
}

}  // namespace

std::optional<ViewerArguments> parseViewerArguments(int argc, char** argv, std::ostream& out,
                                                    std::ostream& err, int& exitStatus) {
    ViewerArguments arguments;
    const char* named = nullptr;
    bool twoMaps = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            out << kUsage;
            exitStatus = 0;
            return std::nullopt;
        }
        if (std::strcmp(argv[i], "--info") == 0) {
            arguments.info = true;
        } else if (isWindowOptionWithValue(argv[i])) {
            ++i;  // its value belongs to the window system too
        } else if (!isWindowFlag(argv[i])) {
            twoMaps = twoMaps || named;
            named = argv[i];
        }
    }
    if (twoMaps) {
        err << kUsage;
        exitStatus = 255;
        return std::nullopt;
    }
    if (named) arguments.mapFile = named;
    return arguments;
}
