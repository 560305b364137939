// The viewer for real: its own X server, xdotool at the pointer and keys, the
// window read back pixel by pixel against a picture worked out independently.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
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
const Rgb kBlocked = kTileColor[2];
const int kBand = 32;  // the info band's rows

// A square map in a square window after `level` doublings, its corner `originX`, `originY`
// into the canvas: overlay squares (inset, colour) over the search tint on `tinted` cells.
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
    // The insets as drawn: as asked from 8 pixels a cell; below, 3 x 3 stay inside the cell
    // less its grid line (cell - 1 - 3 pixels left for the two insets).
    Picture& shrinkInsets() {
        const long long cell = canvas() / map->getWidth();
        for (auto& [where, overlay] : overlays)
            if (cell < 8)
                overlay.first = std::min<int>(overlay.first, std::max(0LL, (cell - 1 - 3) / 2));
        return *this;
    }
    Rgb at(int px, int py) const {
        const int cx = cellAt(originX, px), cy = cellAt(originY, py);
        const Rgb tile = tinted.contains({cx, cy}) ? kTint : kTileColor[map->getTile(cx, cy)];
        // Cells of four whole pixels or more: inset squares, a grid line right and below.
        const long long cell = canvas() / map->getWidth();
        if (canvas() % map->getWidth() != 0 || cell < 4) return tile;
        const long long ox = (originX + px) % cell, oy = (originY + py) % cell;
        if (ox == cell - 1 || oy == cell - 1) return kBlack;
        const auto o = overlays.find({cx, cy});
        if (o == overlays.end()) return tile;
        // From `inset` pixels after the cell's left (top) edge to inset + 1 before its other.
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

    // Waits until `check` finds nothing wrong with a screenshot; else its last complaint.
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

    // Waits until the window shows `want`, but for a small object at (skipX, skipY).
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

    // The window's size, and the info band's black and white rows below the map when shown.
    std::string bandProblem(const Image& shot, bool shown) {
        if (x.window_size(window) != std::pair{640, shown ? 640 + kBand : 640})
            return "window size";
        const int black = shot.count(kBlack, 0, 640, 640, 640 + kBand);
        const int white = shot.count(kWhite, 0, 640, 640, 640 + kBand);
        return !shown || (black > 15000 && white > 200) ? "" : "band";
    }

    Picture whole() const { return {map.get(), windowPx, 0, 0, 0, {}, {}}; }
    Picture idle(int size, int cx, int cy) const { return whole().block(cx, cy, size, 2, kWhite); }
    // The library's own route in yellow, white ends (red without a route); with `tint` what its
    // search (the jump search with `jump`) expanded, tinted.
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

// One session on kMap: the idle object's sizes, routes, reach, the F2 tint and the F3 search
// switch, a resized window, and closing the window.
TEST_F(PathgridWindow, SizesRoutesReachSearchesAndResizingThenClosingEndsTheProgram) {
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

    drag(1, 8, 14, 10);
    EXPECT_TRUE(shows(path(0, 1, 8, 14, 10)));
    key("F2");
    const Picture exact = path(0, 1, 8, 14, 10, true), jump = path(0, 1, 8, 14, 10, true, true);
    ASSERT_NE(exact.tinted, jump.tinted);  // else the screen could not tell them apart
    EXPECT_TRUE(shows(exact));
    key("F3");
    EXPECT_TRUE(shows(jump));
    key("F3");
    EXPECT_TRUE(shows(exact));
    key("F2");
    x.xdotool({"click", "8"});  // any other button's event moves the start to the pointer
    EXPECT_TRUE(shows(path(0, 14, 10, 14, 10)));
    x.xdotool({"mouseup", "1"});

    drag(6, 14, 3, 11);  // into a sealed pocket
    EXPECT_TRUE(shows(path(0, 6, 14, 3, 11)));
    x.xdotool({"mouseup", "1"});

    // The right button alone shows every position connected to the pointer's; left wins.
    pointTo(6, 14);
    x.xdotool({"mousedown", "3"});
    EXPECT_TRUE(shows(reach(0, 6, 14)));
    drag(10, 1, 15, 8);
    EXPECT_TRUE(shows(path(0, 10, 1, 15, 8)));
    x.xdotool({"mouseup", "1"});

    x.xdotool({"click", "2"});  // the next size, wherever the pointer is
    drag(3, 9, 2, 4);           // a 2x2 object cannot take the one-cell gap
    EXPECT_TRUE(shows(path(1, 3, 9, 2, 4)));
    x.xdotool({"mouseup", "1", "mouseup", "3"});

    // A resized window still maps the pointer to the cell under it.
    x.xdotool({"windowsize", "--sync", window, "320", "320"});
    windowPx = 320;
    pointTo(11, 5);
    EXPECT_TRUE(shows(idle(1, 11, 5)));

    x.request_close(window);
    const ProcessResult r = viewer->finish(5000);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=16 height=16\nend program\n");
    EXPECT_EQ(r.err, "");
}

// Maps too large for inset squares: 1.25 pixels a cell at the whole-map view.
TEST_F(PathgridWindow, TheKeysZoomPanGoHomeToggleTheBandAndTheTintAndAnyOtherQuits) {
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

    // A route between two ground cells the search reaches round many walls.
    point(100, 300);
    x.xdotool({"mousedown", "1"});
    point(540, 540);
    // F1 toggles the info band, F2 the tint under the route, each on its own.
    const std::pair<const char*, int> toggles[] = {
        {"", 0}, {"F1", 1}, {"F2", 3}, {"F1", 2}, {"F2", 0}};
    for (const auto& [name, shown] : toggles) {
        SCOPED_TRACE(std::string("after ") + name);
        if (*name) key(name);
        EXPECT_TRUE(eventually([&, shown = shown](const Image& s) -> std::string {
            if (std::string band = bandProblem(s, shown & 1); !band.empty()) return band;
            const int tint = s.count(kTint, 0, 0, 640, 640);
            return (shown & 2 ? tint < 1000 : tint > 0) ? "tint" : "";
        }));
    }
    key("q");  // the special keys above print nothing
    const ProcessResult r = viewer->finish(5000);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=512 height=512\nkey pressed => exit\nend program\n");
    EXPECT_EQ(r.err, "");
}

// 96 x 96 cells at 4 to 7 pixels a cell: the idle object and a route keep 3 x 3 of their colours.
TEST_F(PathgridWindow, TheObjectAndARouteStayVisibleAtFourToSevenPixelsACell) {
    MapRows rows(96, std::string(96, '.'));
    for (int y = 0; y < 80; ++y) rows[y][48] = '#';  // the route goes round its foot
    start(rows);
    for (const int cell : {4, 5, 6, 7}) {
        SCOPED_TRACE(std::to_string(cell) + " pixels a cell");
        windowPx = 96 * cell;
        x.xdotool(
            {"windowsize", "--sync", window, std::to_string(windowPx), std::to_string(windowPx)});
        pointTo(20, 30);
        EXPECT_TRUE(shows(idle(0, 20, 30).shrinkInsets()));
        drag(20, 30, 70, 12);
        EXPECT_TRUE(shows(path(0, 20, 30, 70, 12).shrinkInsets()));
        x.xdotool({"mouseup", "1"});
    }
}

// 2048 x 256 square cells of 0.3125 pixels in rows 280 to 359, black around: each pixel the
// share-weighted mix of its cells, so the one-cell wall and gap show; then the wheel zooms in.
TEST_F(PathgridWindow, ALongMapHasSquareCellsAndItsOverviewShowsThinWallsAndGaps) {
    MapRows rows(256, std::string(2048, '.'));
    for (int x = 0; x < 400; ++x) rows[100][x] = '#';  // thin wall, in pixel row 311
    for (int y = 0; y < 256; ++y)                      // thick wall, gap in pixel row 320
        for (int x = 1024; x < 1040; ++x) rows[y][x] = y == 129 ? '.' : '#';
    for (int y = 96; y < 160; ++y)  // a square of 64 x 64 cells: 20 x 20 pixels
        for (int x = 512; x < 576; ++x) rows[y][x] = '#';
    start(rows);
    point(170, 320);  // on the square's cell (544, 128): a 3 x 3 object

    // What each pixel covers of each cell, worked out in floating point.
    const double cell = 640.0 / 2048;
    auto mixAt = [&](int px, int py) {
        double sum[3] = {0, 0, 0};
        for (int cy = static_cast<int>((py - 280) / cell) - 1; cy <= (py + 1 - 280) / cell; ++cy) {
            for (int cx = static_cast<int>(px / cell) - 1; cx <= (px + 1) / cell; ++cx) {
                if (cx < 0 || cy < 0 || cx >= 2048 || cy >= 256) continue;
                const double dx =
                    std::min(px + 1.0, (cx + 1) * cell) - std::max(1.0 * px, cx * cell);
                const double dy =
                    std::min(py + 1.0, 280 + (cy + 1) * cell) - std::max(1.0 * py, 280 + cy * cell);
                if (dx <= 0 || dy <= 0) continue;
                const Rgb c = kTileColor[map->getTile(cx, cy)];
                sum[0] += dx * dy * c.r;
                sum[1] += dx * dy * c.g;
                sum[2] += dx * dy * c.b;
            }
        }
        return Rgb{static_cast<int>(std::lround(sum[0])), static_cast<int>(std::lround(sum[1])),
                   static_cast<int>(std::lround(sum[2]))};
    };
    EXPECT_TRUE(eventually([&](const Image& shot) -> std::string {
        for (int py = 0; py < 640; ++py) {
            for (int px = 0; px < 640; ++px) {
                if (std::abs(px - 170) <= 2 && std::abs(py - 320) <= 2) continue;
                const Rgb want = py < 280 || py >= 360 ? kBlack : mixAt(px, py);
                if (!shot.at(px, py).near(want, 3))
                    return "pixel (" + std::to_string(px) + "," + std::to_string(py) + ")";
            }
        }
        if (shot.count(kWhite, 168, 318, 173, 323) != 9) return "no 3 x 3 object at the pointer";
        if (shot.count(kBlocked, 160, 310, 180, 330) != 400 - 9) return "the square";
        return "";
    }));

    // Three wheel steps: 2.5 pixels a cell, the map as high as the window, the square 160 x 160
    // pixels with the column under the pointer kept (canvas x 1190 to 1829).
    for (int i = 0; i < 3; ++i) x.xdotool({"click", "4"});
    EXPECT_TRUE(eventually([&](const Image& shot) -> std::string {
        if (shot.count(kBlocked, 90, 240, 250, 400) < 160 * 160 - 9) return "the square";
        if (shot.count(kBlocked, 86, 236, 254, 404) > 160 * 160) return "the square's outside";
        if (shot.count(kWhite, 168, 318, 173, 323) != 9) return "no 3 x 3 object at the pointer";
        return "";
    }));
}

// The band takes 32 rows of its own below the map: the window grows, the map stays as it was.
TEST_F(PathgridWindow, TheInfoBandHasRowsOfItsOwnBelowTheMap) {
    start(kMap);
    pointTo(5, 15);
    EXPECT_TRUE(shows(idle(0, 5, 15)));
    for (const bool shown : {true, false}) {
        key("F1");
        EXPECT_TRUE(eventually([&](const Image& s) { return bandProblem(s, shown); }));
        EXPECT_TRUE(shows(idle(0, 5, 15)));
    }
}

// The wheel zooms about the pointer, also under a held route, whose start it keeps;
// Shift + left drag pans and draws no route.
TEST_F(PathgridWindow, TheWheelZoomsAboutThePointerAndShiftDragPans) {
    start(noiseRows(64, 64, 25, 15, 3));
    point(305, 205);
    EXPECT_TRUE(shows(idle(0, 30, 20)));  // the default view: 10 pixels a cell
    x.xdotool({"click", "4"});
    Picture view = whole();
    view.zoomIn(305, 205);  // 20 pixels a cell, (30, 20) still under the pointer
    EXPECT_TRUE(shows(Picture(view).block(30, 20, 0, 2, kWhite)));

    x.xdotool({"keydown", "shift", "mousedown", "1", "mousemove", "205", "155", "mouseup", "1",
               "keyup", "shift"});
    view.originX += 100;  // the map moved with the pointer
    view.originY += 50;
    const int cx = static_cast<int>((view.originX + 205) / 20),
              cy = static_cast<int>((view.originY + 155) / 20);
    EXPECT_TRUE(shows(Picture(view).block(cx, cy, 0, 2, kWhite)));
    x.xdotool({"click", "5"});
    EXPECT_TRUE(shows(idle(0, 20, 15)));

    // A route from (30, 20) to (40, 30), and the wheel turned while it is held.
    drag(30, 20, 40, 30);
    EXPECT_TRUE(shows(path(0, 30, 20, 40, 30)));
    x.xdotool({"click", "4"});
    Picture zoomed = path(0, 30, 20, 40, 30);
    zoomed.zoomIn(405, 305);
    EXPECT_TRUE(shows(zoomed));
    x.xdotool({"click", "5"});
    EXPECT_TRUE(shows(path(0, 30, 20, 40, 30)));
    x.xdotool({"mouseup", "1"});
}

}  // namespace
