#include "MapArgument.h"

#include <cstring>
#include <initializer_list>

namespace {

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

const char* mapFileArgument(int argc, char** argv) {
    const char* named = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (isWindowOptionWithValue(argv[i])) {
            ++i;  // its value belongs to the window system too
        } else if (!isWindowFlag(argv[i])) {
            if (named) return nullptr;
            named = argv[i];
        }
    }
    return named ? named : "map.bmp";
}
