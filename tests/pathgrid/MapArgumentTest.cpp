// Which map file the command line names, with the window system's options
// set aside the way the window library takes them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MapArgument.h"

namespace {

const char* pick(std::vector<std::string> args) {
    static std::vector<std::string> kept;
    static std::vector<char*> argv;
    kept = std::move(args);
    kept.insert(kept.begin(), "pathgrid");
    argv.clear();
    for (std::string& a : kept) argv.push_back(a.data());
    argv.push_back(nullptr);
    return mapFileArgument(int(kept.size()), argv.data());
}

TEST(PathgridMapArgument, DefaultIsMapBmp) {
    EXPECT_STREQ(pick({}), "map.bmp");
}

TEST(PathgridMapArgument, OneArgumentNamesTheFile) {
    EXPECT_STREQ(pick({"maps/big.bmp"}), "maps/big.bmp");
}

TEST(PathgridMapArgument, WindowOptionsAndTheirValuesAreSkipped) {
    EXPECT_STREQ(pick({"-display", ":3", "a.bmp"}), "a.bmp");
    EXPECT_STREQ(pick({"a.bmp", "-geometry", "300x300+0+0"}), "a.bmp");
    EXPECT_STREQ(pick({"-sync", "-iconic", "-direct", "-indirect", "-gldebug", "b.bmp"}), "b.bmp");
    EXPECT_STREQ(pick({"-display", ":3", "-sync"}), "map.bmp");
}

TEST(PathgridMapArgument, OptionValueIsNeverTheFile) {
    EXPECT_STREQ(pick({"-geometry", "x.bmp"}), "map.bmp");
}

TEST(PathgridMapArgument, TwoFilesAreRefused) {
    EXPECT_EQ(pick({"a.bmp", "b.bmp"}), nullptr);
    EXPECT_EQ(pick({"a.bmp", "-sync", "b.bmp"}), nullptr);
}

TEST(PathgridMapArgument, UnknownDashArgumentIsAFileName) {
    EXPECT_STREQ(pick({"-map.bmp"}), "-map.bmp");
}

}  // namespace
