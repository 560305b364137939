// The viewer on maps too large for inset squares, for real under Xvfb: the
// picture read back pixel by pixel at the whole-map view and zoomed, the keys
// that zoom, pan and go home, routes that stay visible and end under the
// pointer, and the info line and search tint only when asked for.

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "Process.h"
#include "TestMaps.h"
#include "Xvfb.h"

namespace {

const Rgb kTileColor[3] = {{0, 128, 0}, {0, 0, 128}, {64, 64, 64}};
const Rgb kWhite{255, 255, 255}, kYellow{255, 255, 0}, kBlack{0, 0, 0};
const Rgb kTint{127, 63, 127};  // ground under the search tint
constexpr int kWindow = 640;

long long floorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// A view written out independently of the viewer's own arithmetic: `level`
// doublings, the window's corner `originX`, `originY` pixels into the canvas.
struct Expected {
    int side;
    int level = 0;
    long long originX = 0, originY = 0;
    long long canvas() const { return static_cast<long long>(kWindow) << level; }
    int cellAt(long long origin, int px) const {
        return static_cast<int>(floorDiv((2 * (origin + px) + 1) * side, 2 * canvas()));
    }
    // Whole pixels a cell from 4 on, drawn as inset squares with a grid line
    // at their right and bottom edges; else 0.
    long long insetPixels() const {
        return canvas() % side == 0 && canvas() / side >= 4 ? canvas() / side : 0;
    }
    // Page Up at pointer pixel (px, py), the origin kept on the canvas.
    void zoomIn(int px, int py) {
        ++level;
        originX = std::clamp(2 * originX + px, 0LL, canvas() - kWindow);
        originY = std::clamp(2 * originY + py, 0LL, canvas() - kWindow);
    }
};

class ZoomWindow : public ::testing::Test {
  protected:
    void start(const MapRows& rows) {
        map = gridFromRows(rows);
        ASSERT_TRUE(writeBytes(dir.file("big.bmp"), encodeBitmap(imageFromRows(rows))));
        viewer = std::make_unique<BackgroundProcess>(
            std::vector<std::string>{PATHGRID_EXE, dir.file("big.bmp")}, x.options(),
            dir.file("out"), dir.file("err"));
        x.place_window("Quorvane - Assignment Example App");
    }

    void key(const std::string& name) { x.xdotool({"key", name}); }
    void point(int px, int py) { x.xdotool({"mousemove", std::to_string(px), std::to_string(py)}); }

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

    // Waits until every pixel of rows [0, y1) of the window shows the tiles
    // of `view`, except a square around the pointer object at (skipX, skipY).
    ::testing::AssertionResult shows(const Expected& view, int y1 = kWindow, int skipX = -100,
                                     int skipY = -100) {
        const long long inset = view.insetPixels();
        const auto onLine = [&](long long origin, int px) {
            return inset > 0 && (origin + px) % inset == inset - 1;
        };
        return eventually([&](const Image& shot) -> std::string {
            for (int py = 0; py < y1; ++py) {
                const int cy = view.cellAt(view.originY, py);
                for (int px = 0; px < kWindow; ++px) {
                    if (std::abs(px - skipX) <= 4 && std::abs(py - skipY) <= 4) continue;
                    const int cx = view.cellAt(view.originX, px);
                    const bool line = onLine(view.originX, px) || onLine(view.originY, py);
                    const Rgb got = shot.at(px, py);
                    if (!got.near(line ? kBlack : kTileColor[map->getTile(cx, cy)], 2)) {
                        std::ostringstream out;
                        out << "pixel (" << px << "," << py << ") of cell (" << cx << "," << cy
                            << "): got " << got.r << "," << got.g << "," << got.b;
                        return out.str();
                    }
                }
            }
            return "";
        });
    }

    Xvfb x{712, 700};
    TempDir dir;
    GridPtr map;
    std::unique_ptr<BackgroundProcess> viewer;
};

TEST_F(ZoomWindow, TheKeysZoomPanAndGoHome) {
    start(noiseRows(512, 512, 25, 15, 11));  // two cells in five walls or lakes
    point(639, 639);                         // the object out of the way, at the map's corner
    Expected view{512};
    EXPECT_TRUE(shows(view, 630));

    point(200, 300);
    key("Prior");  // 2.5 pixels a cell, about the pointer
    view.zoomIn(200, 300);
    EXPECT_TRUE(shows(view, kWindow, 200, 300));
    // Each a quarter of the view; the second Left stops at the map's left edge.
    for (const char* name : {"Down", "Left", "Left", "Right"}) key(name);
    view.originX = 160;
    view.originY += 160;
    EXPECT_TRUE(shows(view, kWindow, 200, 300));
    key("Home");
    EXPECT_TRUE(shows(Expected{512}, kWindow, 200, 300));
    // The idle object, a single cell of 1.25 pixels, still shows 3 x 3 white.
    EXPECT_TRUE(eventually([&](const Image& s) {
        return s.count(kWhite, 195, 295, 205, 305) == 9 ? "" : "no 3 x 3 object at the pointer";
    }));

    point(320, 320);
    key("Prior");
    key("Prior");  // 5 pixels a cell: inset squares with grid lines again
    view = Expected{512};
    view.zoomIn(320, 320);
    view.zoomIn(320, 320);
    EXPECT_TRUE(shows(view, kWindow, 320, 320));
}

TEST_F(ZoomWindow, RoutesStayVisibleOnLargeMapsZoomedOrNotAndTheInfoAndTintOnlyWhenAsked) {
    MapRows rows(2048, std::string(2048, '.'));
    for (int y = 600; y < 2048; ++y) rows[y][1000] = '#';  // a wall to go round at its top
    start(rows);
    point(100, 320);
    x.xdotool({"mousedown", "1"});
    point(540, 330);
    // At 0.3125 pixels a cell: a yellow line round the wall and white ends.
    EXPECT_TRUE(eventually([&](const Image& s) -> std::string {
        if (s.count(kWhite, 95, 315, 106, 326) < 9) return "no start";
        if (s.count(kWhite, 535, 325, 546, 336) < 9) return "no goal";
        if (s.count(kYellow, 0, 0, kWindow, kWindow) < 3 * 440) return "route too thin";
        if (s.count(kYellow, 300, 160, 330, 200) == 0)
            return "the route does not pass the wall's end";
        return "";
    }));
    // Shown: the info line's black band with white text, and the tint.
    const auto extras = [](const Image& s) {
        return std::pair(s.count(kBlack, 0, 624, kWindow, kWindow) > 5000 &&
                             s.count(kWhite, 0, 624, kWindow, kWindow) > 200,
                         s.count(kTint, 0, 0, kWindow, 620) > 1000);
    };
    const auto none = [](const Image& s) {
        return s.count(kBlack, 0, 624, kWindow, kWindow) +
               s.count(kWhite, 0, 624, kWindow, kWindow) + s.count(kTint, 0, 0, kWindow, kWindow);
    };
    EXPECT_EQ(none(x.screenshot()), 0);
    key("F1");
    EXPECT_TRUE(eventually([&](const Image& s) { return extras(s).first ? "" : "no info line"; }));
    key("F2");  // what the search expanded, under the route
    EXPECT_TRUE(eventually([&](const Image& s) { return extras(s).second ? "" : "no tint"; }));
    key("F1");
    key("F2");
    EXPECT_TRUE(eventually(
        [&](const Image& s) { return none(s) == 0 ? "" : "info line or tint still shown"; }));
    x.xdotool({"mouseup", "1"});

    // Zoomed to 5 pixels a cell (the window's corner 1500 pixels into the
    // canvas), a route between two cell middles ends under the pointer.
    point(100, 100);
    for (int i = 0; i < 4; ++i) key("Prior");
    point(152, 152);
    x.xdotool({"mousedown", "1"});
    point(452, 402);
    EXPECT_TRUE(eventually([&](const Image& s) -> std::string {
        if (!s.at(452, 402).near(kWhite, 2)) return "the goal is not under the pointer";
        if (!s.at(152, 152).near(kWhite, 2)) return "the start is not where it was pressed";
        return s.count(kYellow, 0, 0, kWindow, kWindow) > 100 ? "" : "no route";
    }));
    x.xdotool({"mouseup", "1"});
}

}  // namespace
