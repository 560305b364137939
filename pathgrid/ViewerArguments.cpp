#include "ViewerArguments.h"

#include <cstring>
#include <initializer_list>
#include <ostream>

namespace {

constexpr const char* kUsage =
    "usage: pathgrid [--info] [--search exact|jump] [MAP]\n"
    "  MAP: a bitmap (.bmp) or an octile text map (.map); default map.bmp\n"
    "  --info: show the info band from the start (F1 shows and hides it)\n"
    "  --search: the route search, exact A* (the default) or jump point search\n"
    "            (F3 switches between them)\n"
    "  -h, --help: this text\n"
    "mouse:\n"
    "  moving                the object (1x1, 2x2 or 3x3 cells) follows the pointer\n"
    "  left button held      the cheapest route from the press point to the pointer\n"
    "  right button held     every position reachable from the pointer\n"
    "  middle button         the next object size: 1x1, 2x2, 3x3\n"
    "  wheel                 zooms in (up) or out (down) about the pointer\n"
    "  Shift + left drag     pans the map\n"
    "keys:\n"
    "  Page Up / Page Down   zoom in / out about the pointer\n"
    "  arrow keys            pan by a quarter of the view\n"
    "  Home                  the whole map\n"
    "  F1                    shows or hides the info band below the map\n"
    "  F2                    tints what the last search expanded\n"
    "  F3                    switches between the exact and the jump point search\n"
    "  any other key         quits\n";

bool isWindowOptionWithValue(const char* arg) {
    return std::strcmp(arg, "-display") == 0 || std::strcmp(arg, "-geometry") == 0;
}

// The search named by a --search value; none for a missing or unknown one.
std::optional<RouteSearch> searchNamed(const char* value) {
    if (value && std::strcmp(value, "exact") == 0) return RouteSearch::EXACT;
    if (value && std::strcmp(value, "jump") == 0) return RouteSearch::JUMP;
    return std::nullopt;
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
    bool refused = false;  // two maps, or a --search without a known search
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            out << kUsage;
            exitStatus = 0;
            return std::nullopt;
        }
        if (std::strcmp(argv[i], "--info") == 0) {
            arguments.info = true;
        } else if (std::strcmp(argv[i], "--search") == 0) {
            // At the end of the line its value is argv[argc], a null pointer.
            const std::optional<RouteSearch> search = searchNamed(argv[++i]);
            refused = refused || !search;
            if (search) arguments.search = *search;
        } else if (isWindowOptionWithValue(argv[i])) {
            ++i;  // its value belongs to the window system too
        } else if (isWindowFlag(argv[i])) {
            // the window system's
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            refused = true;  // an option the viewer lacks; "./-x.bmp" names such a map
        } else {
            refused = refused || named;
            named = argv[i];
        }
    }
    if (refused) {
        err << kUsage;
        exitStatus = 255;
        return std::nullopt;
    }
    if (named) arguments.mapFile = named;
    return arguments;
}
