// The viewer for real: its own X server, the pointer and keys driven by
// xdotool, the window read back pixel by pixel against a picture of the map
// worked out independently of the viewer's own arithmetic.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>
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
const Rgb kTint{127, 63, 127};  // ground under the search tint

// What a square map in a square window should look like: `level` doublings,
// the window's corner `originX`, `originY` pixels into the canvas, and
// overlay squares (inset, colour) on some cells when cells have insets, over
// the search tint on the ground cells in `tinted`.
struct Picture {
    const Grid* map;
    int window = 640;
    int level = 0;
    long long originX = 0, originY = 0;
    std::map<std::pair<int, int>, std::pair<int, Rgb>> overlays;
    std::set<std::pair<int, int>> tinted;

    long long canvas() const { return static_cast<long long>(window) << level; }
    int cellAt(long long origin, int px) const {
        return static_cast<int>((2 * (origin + px) + 1) * map->getWidth() / (2 * canvas()));
    }
    // Page Up at pointer pixel (px, py), the origin kept on the canvas.
    void zoomIn(int px, int py) {
        ++level;
        originX = std::clamp(2 * originX + px, 0LL, canvas() - window);
        originY = std::clamp(2 * originY + py, 0LL, canvas() - window);
    }
    Picture& block(int x, int y, int size, int inset, Rgb color) {
        for (int i = 0; i <= size; ++i)
            for (int j = 0; j <= size; ++j) overlays[{x + j, y + i}] = {inset, color};
        return *this;
    }
    Rgb at(int px, int py) const {
        const int cx = cellAt(originX, px), cy = cellAt(originY, py);
        const Rgb tile = tinted.contains({cx, cy}) ? kTint : kTileColor[map->getTile(cx, cy)];
        // Cells of four whole pixels or more are inset squares with a grid
        // line at their right and bottom edges.
        const long long cell = canvas() / map->getWidth();
        if (canvas() % map->getWidth() != 0 || cell < 4) return tile;
        const long long ox = (originX + px) % cell, oy = (originY + py) % cell;
        if (ox == cell - 1 || oy == cell - 1) return kBlack;
        const auto o = overlays.find({cx, cy});
        if (o == overlays.end()) return tile;
        // From `inset` pixels after the cell's left (top) edge to inset + 1
        // before its right (bottom) one.
        const int inset = o->second.first;
        const bool inside = std::min(ox, oy) >= inset && std::max(ox, oy) <= cell - inset - 2;
        return inside ? o->second.second : tile;
    }
};

class PathgridWindow : public ::testing::Test {
  protected:
    // The viewer on `rows`, found as map.bmp in its working folder.
    void start(const MapRows& rows) {
        map = gridFromRows(rows);
        ASSERT_TRUE(writeBytes(dir.file("map.bmp"), encodeBitmap(imageFromRows(rows))));
        ProcessOptions options = x.options();
        options.working_dir = dir.path();
        viewer = std::make_unique<BackgroundProcess>(std::vector<std::string>{PATHGRID_EXE},
                                                     options, dir.file("out"), dir.file("err"));
        window = x.place_window("Quorvane - Assignment Example App");
    }

    void key(const std::string& name) { x.xdotool({"key", name}); }
    void point(int px, int py) { x.xdotool({"mousemove", std::to_string(px), std::to_string(py)}); }
    // To the middle of cell (cx, cy) of the whole map.
    void pointTo(int cx, int cy) {
        const int cell = windowPx / map->getWidth();
        point(cx * cell + cell / 2, cy * cell + cell / 2);
    }
    void drag(int fx, int fy, int tx, int ty) {
        pointTo(fx, fy);
        x.xdotool({"mousedown", "1"});
        pointTo(tx, ty);
    }

    // Waits until `check` finds nothing wrong with a screenshot; the last
    // complaint otherwise.
    template <typename Check>
    ::testing::AssertionResult eventually(Check check) {
        std::string complaint;
        for (int tries = 0; tries < 100; ++tries) {
            complaint = check(x.screenshot());
            if (complaint.empty()) return ::testing::AssertionSuccess();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return ::testing::AssertionFailure() << complaint;
    }

    // Waits until every pixel of the window shows `want`, except a square
    // around the pointer at (skipX, skipY) where a small object is drawn.
    ::testing::AssertionResult shows(const Picture& want, int skipX = -100, int skipY = -100) {
        return eventually([&](const Image& shot) -> std::string {
            for (int py = 0; py < want.window; ++py) {
                for (int px = 0; px < want.window; ++px) {
                    if (std::abs(px - skipX) <= 4 && std::abs(py - skipY) <= 4) continue;
                    const Rgb got = shot.at(px, py);
                    if (got.near(want.at(px, py), 2)) continue;
                    std::ostringstream out;
                    out << "pixel (" << px << "," << py << "): got " << got.r << "," << got.g << ","
                        << got.b;
                    return out.str();
                }
            }
            return "";
        });
    }

    Picture whole() const { return {map.get(), windowPx, 0, 0, 0, {}, {}}; }
    Picture idle(int size, int cx, int cy) const { return whole().block(cx, cy, size, 2, kWhite); }
    // Yellow along the library's own path, white ends; red ends without one.
    // With `tint`, the positions the search expanded are tinted under it; the
    // jump search's route and expansions with `jump`.
    Picture path(int size, int fx, int fy, int tx, int ty, bool tint = false,
                 bool jump = false) const {
        Picture p = whole();
        Grid::Path steps;
        Grid::SearchStats stats;
        std::vector<int> expanded;
        if (map->isConnected(size, fx, fy, tx, ty)) {
            jump ? map->findJumpPointPath(size, fx, fy, tx, ty, steps, stats, expanded)
                 : map->findShortestPath(size, fx, fy, tx, ty, steps, stats, expanded);
        }
        if (tint) {
            for (int cell : expanded)
                p.tinted.insert({cell % map->getWidth(), cell / map->getWidth()});
        }
        for (int px = fx, py = fy; Grid::Direction d : steps)
            p.block(px += Grid::stepDx(d), py += Grid::stepDy(d), size, 1, kYellow);
        p.block(fx, fy, size, 1, steps.empty() ? kRed : kWhite);
        return p.block(tx, ty, size, 1, steps.empty() ? kRed : kWhite);
    }
    Picture reach(int size, int cx, int cy) const {
        Picture p = whole();
        for (int y = 0; y + size < map->getHeight(); ++y)
            for (int x = 0; x + size < map->getWidth(); ++x)
                if (map->isConnected(size, cx, cy, x, y)) p.block(x, y, size, 1, kYellow);
        return p.block(cx, cy, size, 1, kWhite);
    }

    Xvfb x{706, 694};  // an odd screen size nobody else uses
    TempDir dir;
    GridPtr map;
    std::unique_ptr<BackgroundProcess> viewer;
    std::string window;
    int windowPx = 640;
};

TEST_F(PathgridWindow, IdleObjectCyclesItsSizeAndStaysOnTheMapAlsoInAResizedWindow) {
    start(kMap);
    const struct {
        int cx, cy, middleClicks, size, x, y;
    } steps[] = {{5, 4, 0, 0, 5, 4},     {5, 4, 1, 1, 5, 4},   {5, 4, 1, 2, 5, 4},
                 {15, 15, 0, 2, 13, 13}, {15, 4, 0, 2, 13, 4}, {15, 4, 1, 0, 15, 4}};
    for (const auto& s : steps) {
        SCOPED_TRACE("size " + std::to_string(s.size) + " at " + std::to_string(s.x));
        pointTo(s.cx, s.cy);
        if (s.middleClicks) x.xdotool({"click", "2"});
        EXPECT_TRUE(shows(idle(s.size, s.x, s.y)));
    }
    // A resized window still maps the pointer to the cell under it.
    x.xdotool({"windowsize", "--sync", window, "320", "320"});
    windowPx = 320;
    pointTo(11, 5);
    EXPECT_TRUE(shows(idle(0, 11, 5)));
}

TEST_F(PathgridWindow, PathAndReachModesDrawTheLibrarysAnswers) {
    start(kMap);
    drag(1, 8, 14, 10);
    EXPECT_TRUE(shows(path(0, 1, 8, 14, 10)));
    x.xdotool({"click", "4"});  // any button event moves the start to the pointer
    EXPECT_TRUE(shows(path(0, 14, 10, 14, 10)));
    x.xdotool({"mouseup", "1"});

    drag(6, 14, 3, 11);  // into a sealed pocket
    EXPECT_TRUE(shows(path(0, 6, 14, 3, 11)));
    x.xdotool({"mouseup", "1"});

    // With the left button up again, the right one shows every position
    // connected to the pointer's, until the left one is pressed too.
    pointTo(6, 14);
    x.xdotool({"mousedown", "3"});
    EXPECT_TRUE(shows(reach(0, 6, 14)));
    drag(10, 1, 15, 8);
    EXPECT_TRUE(shows(path(0, 10, 1, 15, 8)));
    x.xdotool({"mouseup", "1"});

    x.xdotool({"click", "2"});  // the next size, wherever the pointer is
    drag(3, 9, 2, 4);           // a 2x2 object cannot take the one-cell gap
    EXPECT_TRUE(shows(path(1, 3, 9, 2, 4)));
}

TEST_F(PathgridWindow, AKeyOrClosingTheWindowEndsTheProgram) {
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "closed" : "key");
        start(kMap);
        pointTo(4, 4);  // keys go to the window under the pointer
        close ? x.request_close(window) : key("q");
        const ProcessResult r = viewer->finish(5000);
        EXPECT_EQ(r.exit_status, 0);
        EXPECT_EQ(r.out, close ? "width=16 height=16\nend program\n"
                               : "width=16 height=16\nkey pressed => exit\nend program\n");
        EXPECT_EQ(r.err, "");
    }
}

// F3 switches the route and the tint to the jump search's, and back.
TEST_F(PathgridWindow, F3SwitchesBetweenTheExactAndTheJumpSearch) {
    start(kMap);
    drag(1, 8, 14, 10);
    key("F2");
    const Picture exact = path(0, 1, 8, 14, 10, true);
    const Picture jump = path(0, 1, 8, 14, 10, true, true);
    ASSERT_NE(exact.tinted, jump.tinted);  // else the screen could not tell them apart
    EXPECT_TRUE(shows(exact));
    key("F3");
    EXPECT_TRUE(shows(jump));
    key("F3");
    EXPECT_TRUE(shows(exact));
}

// Maps too large for inset squares: 1.25 pixels a cell at the whole-map view.
TEST_F(PathgridWindow, TheKeysZoomPanGoHomeAndToggleTheInfoLineAndTheTint) {
    start(noiseRows(512, 512, 25, 15, 11));  // two cells in five walls or lakes
    point(200, 300);
    key("Prior");  // 2.5 pixels a cell, about the pointer
    Picture view = whole();
    view.zoomIn(200, 300);
    // Each a quarter of the view; the second Left stops at the map's left edge.
    for (const char* name : {"Down", "Left", "Left", "Right"}) key(name);
    view.originX = 160;
    view.originY += 160;
    EXPECT_TRUE(shows(view, 200, 300));
    key("Prior");  // 5 pixels a cell: inset squares with grid lines again
    view.zoomIn(200, 300);
    EXPECT_TRUE(shows(view, 200, 300));
    key("Home");
    EXPECT_TRUE(shows(whole(), 200, 300));
    // The idle object, a single cell of 1.25 pixels, still shows 3 x 3 white.
    EXPECT_TRUE(eventually([&](const Image& s) {
        return s.count(kWhite, 195, 295, 205, 305) == 9 ? "" : "no 3 x 3 object at the pointer";
    }));

    // A route between two ground cells the search reaches round many walls.
    point(100, 300);
    x.xdotool({"mousedown", "1"});
    point(540, 540);
    // F1 and F2 toggle the info line, a black band with white text at the
    // bottom, and the tint of what the search expanded, under the route.
    const std::pair<const char*, int> toggles[] = {
        {"", 0}, {"F1", 1}, {"F2", 3}, {"F1", 2}, {"F2", 0}};
    for (const auto& [name, shown] : toggles) {
        SCOPED_TRACE(std::string("after ") + name);
        if (*name) key(name);
        EXPECT_TRUE(eventually([&, shown = shown](const Image& s) -> std::string {
            const int black = s.count(kBlack, 0, 624, 640, 640);
            const int white = s.count(kWhite, 0, 624, 640, 640),
                      tint = s.count(kTint, 0, 0, 640, 640);
            if (shown & 1 ? black < 5000 || white < 200 : black + white > 0) return "info line";
            return (shown & 2 ? tint < 1000 : tint > 0) ? "tint" : "";
        }));
    }
}

}  // namespace
