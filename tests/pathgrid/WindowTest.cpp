// The viewer for real: its own X server, the pointer and keys driven by
// xdotool, the window read back at cell centres, overlay edges and grid lines.

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "Process.h"
#include "TestMaps.h"
#include "Xvfb.h"

namespace {

// 16 x 16 cells of 40 pixels in the 640 x 640 window. Column 8 is a wall with
// two gaps two cells high (a 3 x 3 object cannot cross it); row 6 has a gap
// one cell wide at column 5; (3, 11) and (12..13, 13) are sealed pockets.
const MapRows kMap = {
    "................", ".~~~~...........", ".~~~~...#.......", ".~~~~...#.......",
    "........#.......", "........#...~~~.", "#####.###...~~~.", "........#...~~~.",
    "........#.......", "................", "..###...........", "..#.#...#.......",
    "..###...#..####.", "........#..#..#.", "........#..####.", "........#.......",
};

const Rgb kTileColor[3] = {{0, 128, 0}, {0, 0, 128}, {64, 64, 64}};
const Rgb kWhite{255, 255, 255}, kYellow{255, 255, 0}, kRed{255, 0, 0}, kBlack{0, 0, 0};

struct Overlay {
    bool drawn = false;
    Rgb color{0, 0, 0};
    int inset = 0;
};

// What the window should show: the tiles, and overlay squares on some cells.
struct View {
    GridPtr grid = gridFromRows(kMap);
    std::vector<Overlay> cells = std::vector<Overlay>(16 * 16);

    void block(int x, int y, int size, int inset, Rgb color) {
        for (int i = 0; i <= size; ++i)
            for (int j = 0; j <= size; ++j) cells[(y + i) * 16 + x + j] = {true, color, inset};
    }
};

// The first differences between the screen and `view`, one per line.
std::string differences(const Image& shot, const View& view, int cellPx) {
    std::ostringstream diff;
    int count = 0;
    const auto check = [&](int px, int py, Rgb want, const char* what) {
        const Rgb got = shot.at(px, py);
        if (!got.near(want, 2) && ++count <= 6)
            diff << what << " at (" << px << "," << py << "): got " << got.r << "," << got.g << ","
                 << got.b << "\n";
    };
    for (int cy = 0; cy < 16; ++cy) {
        for (int cx = 0; cx < 16; ++cx) {
            const Rgb tile = kTileColor[view.grid->getTile(cx, cy)];
            const Overlay& o = view.cells[cy * 16 + cx];
            const int left = cx * cellPx, top = cy * cellPx, mid = cellPx / 2;
            check(left + mid, top + mid, o.drawn ? o.color : tile, "centre");
            check(left + cellPx - 1, top + mid, kBlack, "grid line");
            check(left + mid, top + cellPx - 1, kBlack, "grid line");
            if (!o.drawn) continue;
            // First and last pixel of the square, and the tile just outside.
            const int first = o.inset, last = cellPx - o.inset - 2;
            check(left + first, top + mid, o.color, "overlay edge");
            check(left + mid, top + last, o.color, "overlay edge");
            check(left + first - 1, top + mid, tile, "tile beside overlay");
            check(left + last + 1, top + mid, tile, "tile beside overlay");
        }
    }
    return diff.str();
}

class PathgridWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(writeBytes(dir.file("map.bmp"), encodeBitmap(imageFromRows(kMap))));
        ProcessOptions options = x.options();
        options.working_dir = dir.path();
        viewer = std::make_unique<BackgroundProcess>(std::vector<std::string>{PATHGRID_EXE},
                                                     options, dir.file("out"), dir.file("err"));
        window = x.place_window("Quorvane - Assignment Example App");
    }

    void pointTo(int cx, int cy) {
        x.xdotool({"mousemove", std::to_string(cx * cellPx + cellPx / 2),
                   std::to_string(cy * cellPx + cellPx / 2)});
    }
    void drag(int fx, int fy, int tx, int ty) {
        pointTo(fx, fy);
        x.xdotool({"mousedown", "1"});
        pointTo(tx, ty);
    }

    // Waits until the window shows `view`.
    ::testing::AssertionResult shows(const View& view) {
        std::string diff;
        for (int tries = 0; tries < 100; ++tries) {
            diff = differences(x.screenshot(), view, cellPx);
            if (diff.empty()) return ::testing::AssertionSuccess();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return ::testing::AssertionFailure() << diff;
    }

    static View idle(int size, int cx, int cy) {
        View v;
        v.block(cx, cy, size, 2, kWhite);
        return v;
    }
    // Yellow along the library's own path, white ends; red ends without one.
    static View path(int size, int fx, int fy, int tx, int ty) {
        View v;
        Grid::Path steps;
        if (v.grid->isConnected(size, fx, fy, tx, ty))
            v.grid->findShortestPath(size, fx, fy, tx, ty, steps);
        for (int px = fx, py = fy; Grid::Direction d : steps)
            v.block(px += Grid::stepDx(d), py += Grid::stepDy(d), size, 1, kYellow);
        v.block(fx, fy, size, 1, steps.empty() ? kRed : kWhite);
        v.block(tx, ty, size, 1, steps.empty() ? kRed : kWhite);
        return v;
    }
    static View reach(int size, int cx, int cy) {
        View v;
        for (int y = 0; y + size < 16; ++y)
            for (int x = 0; x + size < 16; ++x)
                if (v.grid->isConnected(size, cx, cy, x, y)) v.block(x, y, size, 1, kYellow);
        v.block(cx, cy, size, 1, kWhite);
        return v;
    }

    Xvfb x{706, 694};  // an odd screen size nobody else uses
    TempDir dir;
    std::unique_ptr<BackgroundProcess> viewer;
    std::string window;
    int cellPx = 40;
};

TEST_F(PathgridWindow, IdleObjectCyclesItsSizeAndStaysOnTheMap) {
    pointTo(5, 4);
    EXPECT_TRUE(shows(idle(0, 5, 4)));
    x.xdotool({"click", "2"});
    EXPECT_TRUE(shows(idle(1, 5, 4)));
    x.xdotool({"click", "2"});
    EXPECT_TRUE(shows(idle(2, 5, 4)));
    pointTo(15, 15);
    EXPECT_TRUE(shows(idle(2, 13, 13)));
    pointTo(15, 4);
    EXPECT_TRUE(shows(idle(2, 13, 4)));
    x.xdotool({"click", "2"});
    EXPECT_TRUE(shows(idle(0, 15, 4)));
}

TEST_F(PathgridWindow, PathModeDrawsTheLibrarysPath) {
    drag(1, 8, 14, 10);
    EXPECT_TRUE(shows(path(0, 1, 8, 14, 10)));
    x.xdotool({"click", "4"});  // any button event moves the start to the pointer
    EXPECT_TRUE(shows(path(0, 14, 10, 14, 10)));
    x.xdotool({"mouseup", "1"});
    EXPECT_TRUE(shows(idle(0, 14, 10)));

    drag(6, 14, 3, 11);  // into a sealed pocket
    EXPECT_TRUE(shows(path(0, 6, 14, 3, 11)));
    pointTo(2, 2);  // onto water
    EXPECT_TRUE(shows(path(0, 6, 14, 2, 2)));
    x.xdotool({"mousemove", "690", "690"});  // past the window's corner
    EXPECT_TRUE(shows(path(0, 6, 14, 15, 15)));
    x.xdotool({"mouseup", "1"});

    pointTo(3, 9);
    x.xdotool({"click", "2"});
    drag(3, 9, 2, 4);  // a 2x2 object cannot take the one-cell gap
    EXPECT_TRUE(shows(path(1, 3, 9, 2, 4)));
}

TEST_F(PathgridWindow, ReachModeShowsEveryConnectedPositionUntilLeftWins) {
    pointTo(6, 14);
    x.xdotool({"mousedown", "3"});
    EXPECT_TRUE(shows(reach(0, 6, 14)));
    pointTo(13, 6);
    EXPECT_TRUE(shows(reach(0, 13, 6)));
    pointTo(10, 1);
    x.xdotool({"mousedown", "1"});
    pointTo(15, 8);
    EXPECT_TRUE(shows(path(0, 10, 1, 15, 8)));
}

TEST_F(PathgridWindow, AResizedWindowStillMapsThePointerToTheCellUnderIt) {
    x.xdotool({"windowsize", "--sync", window, "320", "320"});
    cellPx = 20;
    pointTo(11, 5);
    EXPECT_TRUE(shows(idle(0, 11, 5)));
    drag(9, 1, 15, 8);
    EXPECT_TRUE(shows(path(0, 9, 1, 15, 8)));
}

TEST_F(PathgridWindow, AKeyOrClosingTheWindowEndsTheProgram) {
    pointTo(4, 4);  // keys go to the window under the pointer
    x.xdotool({"key", "q"});
    ProcessResult r = viewer->finish(5000);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=16 height=16\nkey pressed => exit\nend program\n");
    EXPECT_EQ(r.err, "");

    SetUp();
    x.request_close(window);
    r = viewer->finish(5000);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=16 height=16\nend program\n");
}

}  // namespace
