// The viewer in its own X server, driven by xdotool, read back against pictures worked out here.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <set>
#include <thread>

#include "Process.h"
#include "TestMaps.h"
#include "Xvfb.h"

namespace {

// 64 x 64 cells of 10 pixels: column 32 a wall with a one-cell gap (row 20) and a
// two-cell one (rows 55-56), a lake, and a sealed pocket at (50, 51).
MapRows defaultMap() {
    MapRows rows(64, std::string(64, '.'));
    for (int y = 0; y < 64; ++y) rows[y][32] = y == 20 || y == 55 || y == 56 ? '.' : '#';
    for (int y = 40; y < 50; ++y) rows[y].replace(5, 10, 10, '~');
    rows[50].replace(49, 3, "###");
    rows[51].replace(49, 3, "#.#");
    rows[52].replace(49, 3, "###");
    return rows;
}

const Rgb kTileColor[3] = {{0, 128, 0}, {0, 0, 128}, {64, 64, 64}};
const Rgb kWhite{255, 255, 255}, kYellow{255, 255, 0}, kRed{255, 0, 0}, kBlack{0, 0, 0};
const Rgb kTint{127, 63, 127};  // ground under the search tint
const Rgb kBlocked = kTileColor[2];

// A square map after `level` doublings from corner (originX, originY): overlays over tints.
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
        // Cells of four whole pixels or more: inset squares, a grid line right and below.
        const long long cell = canvas() / map->getWidth();
        if (canvas() % map->getWidth() != 0 || cell < 4) return tile;
        const long long ox = (originX + px) % cell, oy = (originY + py) % cell;
        if (ox == cell - 1 || oy == cell - 1) return kBlack;
        const auto o = overlays.find({cx, cy});
        if (o == overlays.end()) return tile;
        // Below 8 pixels a cell the insets shrink to keep 3 x 3 inside, less the grid line.
        const int inset = cell < 8 ? std::min<int>(o->second.first, std::max(0LL, (cell - 4) / 2))
                                   : o->second.first;
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

    ::testing::AssertionResult shows(const Picture& want) {
        return eventually([&](const Image& shot) -> std::string {
            for (int py = 0; py < want.window; ++py)
                for (int px = 0; px < want.window; ++px)
                    if (const Rgb got = shot.at(px, py); !got.near(want.at(px, py), 2))
                        return "pixel (" + std::to_string(px) + "," + std::to_string(py) +
                               "): got " + std::to_string(got.r) + "," + std::to_string(got.g) +
                               "," + std::to_string(got.b);
            return "";
        });
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
        if (map->isConnected(size, fx, fy, tx, ty))
            jump ? map->findJumpPointPath(size, fx, fy, tx, ty, steps, stats, expanded)
                 : map->findShortestPath(size, fx, fy, tx, ty, steps, stats, expanded);
        for (int cell : tint ? expanded : std::vector<int>{})
            p.tinted.insert({cell % map->getWidth(), cell / map->getWidth()});
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

// The default picture: keys zoom, pan and go home; object sizes, routes with the F2 tint and
// the F3 search, a sealed pocket, reach, and any other key quits (F1: the band test below).
TEST_F(PathgridWindow, TheDefaultMapAtTenPixelsACellWithEveryKeyAndButton) {
    start(defaultMap());
    point(200, 300);
    key("Prior");  // 20 pixels a cell, about the pointer
    Picture view = whole();
    view.zoomIn(200, 300);
    // Each a quarter of the view; the second Left stops at the map's left edge.
    for (const char* name : {"Down", "Left", "Left", "Right"}) key(name);
    view.originX = 160;
    view.originY += 160;
    const int ox = view.cellAt(view.originX, 200), oy = view.cellAt(view.originY, 300);
    EXPECT_TRUE(shows(Picture(view).block(ox, oy, 0, 2, kWhite)));
    key("Home");
    point(205, 305);
    EXPECT_TRUE(shows(idle(0, 20, 30)));
    for (const int size : {1, 2}) {
        x.xdotool({"click", "2"});
        EXPECT_TRUE(shows(idle(size, 20, 30)));
    }
    pointTo(63, 63);  // kept inside the map
    EXPECT_TRUE(shows(idle(2, 61, 61)));
    x.xdotool({"click", "2"});

    drag(10, 10, 50, 25);
    EXPECT_TRUE(shows(path(0, 10, 10, 50, 25)));
    key("F2");
    const Picture exact = path(0, 10, 10, 50, 25, true), jump = path(0, 10, 10, 50, 25, true, true);
    ASSERT_NE(exact.tinted, jump.tinted);
    EXPECT_TRUE(shows(exact));
    key("F3");
    EXPECT_TRUE(shows(jump));
    key("F2");
    x.xdotool({"mouseup", "1"});
    drag(40, 10, 50, 51);  // into the sealed pocket: red ends
    EXPECT_TRUE(shows(path(0, 40, 10, 50, 51)));
    x.xdotool({"mouseup", "1"});

    // The right button alone shows every position reached from the pointer's; left wins.
    pointTo(40, 10);
    x.xdotool({"mousedown", "3"});
    EXPECT_TRUE(shows(reach(0, 40, 10)));
    x.xdotool({"click", "2"});
    drag(28, 18, 36, 18);  // a 2x2 object takes the lower gap; F3 left the jump search on
    EXPECT_TRUE(shows(path(1, 28, 18, 36, 18, false, true)));
    x.xdotool({"mouseup", "1", "mouseup", "3"});
    key("q");  // the special keys above print nothing
    const ProcessResult r = viewer->finish(5000);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=64 height=64\nkey pressed => exit\nend program\n");
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
        EXPECT_TRUE(shows(idle(0, 20, 30)));
        drag(20, 30, 70, 12);
        EXPECT_TRUE(shows(path(0, 20, 30, 70, 12)));
        x.xdotool({"mouseup", "1"});
    }
}

// 2048 x 256 square cells of 0.3125 pixels in rows 280 to 359, black around; thin lines show.
TEST_F(PathgridWindow, ALongMapHasSquareCellsAndItsOverviewShowsThinWallsAndGaps) {
    MapRows rows(256, std::string(2048, '.'));
    for (int x = 0; x < 400; ++x) rows[100][x] = '#';  // thin wall, in pixel row 311
    for (int y = 0; y < 256; ++y)                      // thick wall, gap in pixel row 320
        for (int x = 1024; x < 1040; ++x) rows[y][x] = y == 129 ? '.' : '#';
    for (int y = 96; y < 160; ++y)  // a square of 64 x 64 cells: 20 x 20 pixels
        for (int x = 512; x < 576; ++x) rows[y][x] = '#';
    start(rows);
    point(170, 320);  // on the square's cell (544, 128): a 3 x 3 object

    const Rgb ground = kTileColor[0];
    EXPECT_TRUE(eventually([&](const Image& shot) -> std::string {
        if (shot.count(kBlack, 0, 0, 640, 280) + shot.count(kBlack, 0, 360, 640, 640) != 640 * 560)
            return "black above and below";
        if (!shot.at(0, 280).near(ground) || !shot.at(639, 359).near(ground)) return "map rows";
        const Rgb thin = shot.at(50, 311), gap = shot.at(322, 320);
        if (!shot.at(50, 310).near(ground) || !shot.at(50, 312).near(ground) || thin.r < 10)
            return "the thin wall";
        if (!shot.at(322, 319).near(kBlocked) || !shot.at(322, 321).near(kBlocked) ||
            gap.g < gap.r + 10)
            return "the gap";
        if (shot.count(kWhite, 168, 318, 173, 323) != 9) return "no 3 x 3 object at the pointer";
        if (shot.count(kBlocked, 160, 310, 180, 330) != 400 - 9) return "the square";
        return "";
    }));
}

// The band takes 32 rows of its own below the map: the window grows, the map stays as it was.
TEST_F(PathgridWindow, TheInfoBandHasRowsOfItsOwnBelowTheMap) {
    start(defaultMap());
    pointTo(5, 15);
    for (const bool shown : {true, false}) {
        key("F1");
        EXPECT_TRUE(eventually([&](const Image& s) -> std::string {
            if (x.window_size(window) != std::pair{640, shown ? 640 + 32 : 640}) return "size";
            const bool band = s.count(kBlack, 0, 640, 640, 672) > 15000 &&
                              s.count(kWhite, 0, 640, 640, 672) > 200;  // black and white rows
            return !shown || band ? "" : "band";
        }));
        EXPECT_TRUE(shows(idle(0, 5, 15)));
    }
    x.request_close(window);
    const ProcessResult r = viewer->finish(5000);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=64 height=64\nend program\n");
}

// The wheel zooms about the pointer, also under a held route, whose start it keeps;
// Shift + left drag pans and draws no route.
TEST_F(PathgridWindow, TheWheelZoomsAboutThePointerAndShiftDragPans) {
    start(noiseRows(64, 64, 25, 15, 3));
    point(305, 205);
    x.xdotool({"click", "4"});
    Picture view = whole();
    view.zoomIn(305, 205);  // 20 pixels a cell, (30, 20) still under the pointer
    EXPECT_TRUE(shows(Picture(view).block(30, 20, 0, 2, kWhite)));

    x.xdotool({"keydown", "shift", "mousedown", "1", "mousemove", "205", "155", "mouseup", "1",
               "keyup", "shift"});
    view.originX += 100;  // the map moved with the pointer
    view.originY += 50;
    EXPECT_TRUE(shows(Picture(view).block(view.cellAt(view.originX, 205),
                                          view.cellAt(view.originY, 155), 0, 2, kWhite)));
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
