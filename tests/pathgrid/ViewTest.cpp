// The viewer's GL-free parts: the view arithmetic between pixels and cells,
// the answers kept between frames, the picture composed for small cells and
// the info line.

#include <gtest/gtest.h>

#include <algorithm>

#include "CompactPicture.h"
#include "FrameQueries.h"
#include "InfoLine.h"
#include "MapView.h"
#include "Palette.h"
#include "TestMaps.h"

namespace {

// Every pixel lies in the rectangle of the cell it maps to, at every zoom
// level (the whole map included) and position of the view; pointers beyond
// the canvas give -1 or the side, never a cell beyond them.
TEST(MapView, PixelToCellToRectangleRoundTripsAtEveryZoom) {
    for (int w : {3, 16, 100, 161, 641, 2048, 100000}) {
        for (int W : {1, 97, 640}) {
            MapView view(w, w, W, W);
            int step = 0;
            do {
                SCOPED_TRACE(std::to_string(w) + " cells in " + std::to_string(W) +
                             " pixels, level " + std::to_string(view.zoomLevel()));
                view.pan(step % 2 ? 1 : -1, 0);
                ASSERT_EQ(view.cellAtX(-1'000'000'000), -1);
                ASSERT_EQ(view.cellAtX(1'000'000'000), w);
                for (int px = 0; px < W; ++px) {
                    const int c = view.cellAtX(px), shown = view.cellAtPixelCentreX(px);
                    ASSERT_TRUE(c >= 0 && c < w) << "pixel " << px << ": cell " << c;
                    // Border 0 ends one pixel short of the next cell's edge.
                    const MapView::Rect r = view.cellRect(c, 0, 0);
                    ASSERT_TRUE(r.x0 * W <= px + 1e-3 && r.x1 * W + 1 > px - 1e-3)
                        << "pixel " << px;
                    // The picture samples the pixel's centre, a cell it covers.
                    ASSERT_TRUE(shown >= c && shown <= view.cellAtX(px + 1)) << shown << " " << c;
                }
            } while (view.zoomIn(W / 3 + ++step * 7, W / 2));
            // Zoomed in as far as it goes, unless the whole map is already larger.
            ASSERT_LE(view.cellPixelsX(), std::max(1.0 * W / w, 1.0 * MapView::kMaxCellPixels));
            ASSERT_GT(view.cellPixelsX() * 2, MapView::kMaxCellPixels);
        }
    }
}

TEST(MapView, ZoomKeepsThePointedCellAndStopsAtTheLimits) {
    MapView view(2048, 1024, 640, 640);
    const MapView whole = view;
    EXPECT_FALSE(view.zoomOut(10, 10));
    const int cx = view.cellAtX(300), cy = view.cellAtY(200);
    int levels = 0;
    while (view.zoomIn(300, 200)) {
        ++levels;
        EXPECT_EQ(view.cellAtX(300), cx);
        EXPECT_EQ(view.cellAtY(200), cy);
    }
    // 0.3125 px a cell across, 0.625 down: the rows reach 64 px first.
    EXPECT_EQ(levels, 6);
    EXPECT_DOUBLE_EQ(view.cellPixelsY(), 40);
    while (view.zoomOut(300, 200)) EXPECT_NEAR(view.cellAtX(300), cx, 1);
    EXPECT_EQ(view, whole);

    // Zoomed at the edge and panned on, the view stops at the map's edge.
    view.zoomIn(639, 639);
    EXPECT_EQ(view.cellAtX(639), 2044);
    EXPECT_TRUE(view.pan(1, 0));
    EXPECT_FALSE(view.pan(1, 0));
    EXPECT_EQ(view.cellAtX(639), 2046);  // the last pixel spans 2046.4 to 2048
    EXPECT_EQ(view.lastVisibleX(), 2047);
    EXPECT_EQ(view.firstVisibleX(), 1024);
}

TEST(MapView, ResizingKeepsTheCentreAndTheZoom) {
    MapView view(1000, 1000, 640, 640);
    view.zoomIn(100, 500);
    view.zoomIn(100, 500);
    const int cx = view.cellAtX(320), cy = view.cellAtY(320);
    view.resizeWindow(320, 200);
    EXPECT_EQ(view.zoomLevel(), 2);
    EXPECT_NEAR(view.cellAtX(160), cx, 1);
    EXPECT_NEAR(view.cellAtY(100), cy, 1);
}

TEST(MapView, InsetTilesFromFourPixelsAndObjectsOfAtLeastThree) {
    EXPECT_TRUE(MapView(160, 160, 640, 640).showsInsetTiles());
    EXPECT_FALSE(MapView(161, 160, 640, 640).showsInsetTiles());
    EXPECT_FALSE(MapView(160, 161, 640, 640).showsInsetTiles());

    for (int w : {161, 640, 2048, 100000}) {
        const MapView view(w, w, 640, 640);
        for (int x : {0, w / 3, w - 3}) {
            for (int size = 0; size <= 2; ++size) {
                const MapView::Rect r = view.objectRect(x, x, size);
                EXPECT_GE(std::min(r.x1 - r.x0, r.y1 - r.y0) * 640,
                          MapView::kMinObjectPixels - 1e-3);
            }
        }
    }
}

TEST(FrameQueries, TheSameQuestionIsAnsweredWithoutSearchingAgain) {
    const GridPtr grid = gridFromRows({".....", ".###.", ".....", "~~~~~"});
    FrameQueries queries(*grid);
    const auto& first = queries.path(0, 0, 0, 4, 2, false);
    EXPECT_EQ(first.cost, 600);
    EXPECT_FALSE(first.recorded);
    EXPECT_EQ(queries.searchesRun(), 1);
    queries.path(0, 0, 0, 4, 2, false);
    EXPECT_EQ(queries.searchesRun(), 1);

    // Asking for the expanded positions searches once more, then not again.
    const auto& recorded = queries.path(0, 0, 0, 4, 2, true);
    EXPECT_EQ(queries.searchesRun(), 2);
    EXPECT_TRUE(recorded.recorded);
    EXPECT_TRUE(recorded.expanded[0]);
    EXPECT_FALSE(recorded.expanded[6]);  // a wall
    EXPECT_EQ(std::count(recorded.expanded.begin(), recorded.expanded.end(), true),
              recorded.stats.expanded);
    queries.path(0, 0, 0, 4, 2, false);
    EXPECT_EQ(queries.searchesRun(), 2);

    // Not connected: no search at all, and nothing expanded, also when the
    // last answer is asked for again with the recording.
    const auto& water = queries.path(0, 0, 0, 2, 3, true);
    EXPECT_FALSE(water.connected);
    EXPECT_TRUE(water.path.empty());
    EXPECT_TRUE(water.expanded.empty());
    const auto version = queries.pathVersion();
    EXPECT_EQ(queries.lastPath(true), &water);
    EXPECT_EQ(queries.pathVersion(), version);
    EXPECT_EQ(queries.searchesRun(), 2);
}

// One flag per cell, set where the search in use says it expanded.
std::vector<bool> expandedBy(const Grid& grid, RouteSearch search, int x0, int y0, int x1, int y1) {
    Grid::Path path;
    Grid::SearchStats stats;
    std::vector<int> cells;
    if (search == RouteSearch::JUMP)
        grid.findJumpPointPath(0, x0, y0, x1, y1, path, stats, cells);
    else
        grid.findShortestPath(0, x0, y0, x1, y1, path, stats, cells);
    std::vector<bool> flags(static_cast<std::size_t>(grid.getWidth()) * grid.getHeight(), false);
    for (int cell : cells) flags[cell] = true;
    return flags;
}

// F3 with a route held: the same question is searched again with the other
// search, and the tint shows what that one expanded, its few jump points.
TEST(FrameQueries, SwitchingTheSearchSearchesAgainAndRecordsWhatTheNewOneExpanded) {
    // Open ground with a wall to go round, where jump points are few.
    MapRows rows(30, std::string(40, '.'));
    for (int y = 0; y < 25; ++y) rows[y][20] = '#';
    const GridPtr grid = gridFromRows(rows);
    FrameQueries queries(*grid);
    EXPECT_EQ(queries.search(), RouteSearch::EXACT);
    const FrameQueries::PathAnswer& exact = queries.path(0, 2, 3, 37, 4, true);
    const int cost = exact.cost;
    EXPECT_EQ(exact.expanded, expandedBy(*grid, RouteSearch::EXACT, 2, 3, 37, 4));
    const std::int64_t exactExpanded = exact.stats.expanded;

    const auto version = queries.pathVersion();
    queries.useSearch(RouteSearch::JUMP);
    const FrameQueries::PathAnswer* jump = queries.lastPath(true);
    ASSERT_NE(jump, nullptr);
    EXPECT_EQ(queries.searchesRun(), 2);
    EXPECT_NE(queries.pathVersion(), version);
    EXPECT_EQ(jump->cost, cost);
    EXPECT_EQ(routeProblem(*grid, 0, 2, 3, 37, 4, jump->path, cost), "");
    EXPECT_EQ(jump->expanded, expandedBy(*grid, RouteSearch::JUMP, 2, 3, 37, 4));
    EXPECT_LT(jump->stats.expanded * 10, exactExpanded);
    queries.path(0, 2, 3, 37, 4, false);
    EXPECT_EQ(queries.searchesRun(), 2);

    queries.useSearch(RouteSearch::EXACT);
    EXPECT_EQ(queries.path(0, 2, 3, 37, 4, false).stats.expanded, exactExpanded);
    EXPECT_EQ(queries.searchesRun(), 3);
}

TEST(FrameQueries, ReachChangesOnlyWhenThePointerLeavesItsSector) {
    const GridPtr grid = gridFromRows({"..#..", "..#..", "..#~~"});
    FrameQueries queries(*grid);
    // Where reach is asked from, whether the set may have changed, and one
    // position that it reaches or not. A 2x2 object at (3, 1) or (2, 0) covers
    // more than one kind of tile: it reaches nothing, so moving between the
    // two changes nothing either.
    const struct {
        int size, x, y;
        bool changed;
        int rx, ry;
        bool reached;
    } steps[] = {{0, 0, 0, true, 3, 0, false},  {0, 1, 2, false, 0, 2, true},
                 {0, 4, 0, true, 3, 1, true},   {1, 3, 1, true, 2, 0, false},
                 {1, 2, 0, false, 2, 0, false}, {1, 0, 0, true, 0, 1, true}};
    auto version = queries.reachVersion();
    for (const auto& s : steps) {
        SCOPED_TRACE("size " + std::to_string(s.size) + " from " + std::to_string(s.x) + "," +
                     std::to_string(s.y));
        queries.setReachFrom(s.size, s.x, s.y);
        EXPECT_EQ(queries.reachVersion() != version, s.changed);
        version = queries.reachVersion();
        EXPECT_EQ(queries.reaches(s.rx, s.ry), s.reached);
    }
}

// Each pixel shows the cell under its centre, reach yellow where a reached
// object covers that cell, the tint where the search expanded.
TEST(CompactPicture, EachPixelShowsTheCellUnderItsCentre) {
    const MapRows rows = noiseRows(203, 150, 30, 20, 7);
    const GridPtr grid = gridFromRows(rows);
    const int W = 61, H = 45;
    for (int level = 0; level < 3; ++level) {
        MapView view(203, 150, W, H);
        for (int i = 0; i < level; ++i) view.zoomIn(40, 20);
        FrameQueries queries(*grid);
        const int size = level % 2 ? 1 : 0;
        int sx = 0, sy = 0;
        while (!grid->isConnected(size, sx, sy, sx, sy)) ++sx;
        queries.setReachFrom(size, sx, sy);
        std::vector<bool> expanded(203 * 150, false);
        for (std::size_t i = 0; i < expanded.size(); i += 3) expanded[i] = true;

        CompactPicture picture;
        CompactPicture::Layers layers{&expanded, &queries, size, 1, queries.reachVersion()};
        ASSERT_TRUE(picture.update(*grid, view, layers));
        ASSERT_FALSE(picture.update(*grid, view, layers));
        for (int py = 0; py < H; ++py) {
            for (int px = 0; px < W; ++px) {
                const int cx = view.cellAtPixelCentreX(px), cy = view.cellAtPixelCentreY(py);
                bool reached = false;
                for (int y = cy - size; y <= cy; ++y)
                    for (int x = cx - size; x <= cx; ++x)
                        reached |= x >= 0 && y >= 0 && x + size < 203 && y + size < 150 &&
                                   grid->isConnected(size, sx, sy, x, y);
                Rgb8 want = kTileRgb[grid->getTile(cx, cy)];
                if (expanded[cy * 203 + cx]) want = tinted(want);
                if (reached) want = kYellowRgb;
                const std::uint8_t* got = &picture.rgb()[((H - 1 - py) * W + px) * 3];
                ASSERT_EQ((Rgb8{got[0], got[1], got[2]}), want) << "pixel " << px << "," << py;
            }
        }
    }
}

// The search in use is named also outside path mode; with a route it leads
// the route's part, which moves to a line of its own when one is too narrow.
TEST(InfoLine, NamesTheSearchInUseBeforeItsRoute) {
    const GridPtr grid = gridFromRows({".....", ".###.", ".....", "~~~~~"});
    const MapView view(5, 4, 640, 640);
    using Lines = std::vector<std::string>;
    InfoLineState state{"rooms.map", 1, 3, 2, RouteSearch::EXACT, nullptr};
    EXPECT_EQ(formatInfoLine(*grid, view, state, 79),
              Lines{"rooms.map 5x4  2x2  zoom 1x  (3,2) ground  A*"});
    state.search = RouteSearch::JUMP;
    EXPECT_EQ(formatInfoLine(*grid, view, state, 79),
              Lines{"rooms.map 5x4  2x2  zoom 1x  (3,2) ground  jump"});

    FrameQueries queries(*grid, RouteSearch::JUMP);
    state = {"rooms.map", 0, 4, 2, RouteSearch::JUMP, &queries.path(0, 0, 0, 4, 2, false)};
    const std::string cell = "rooms.map 5x4  1x1  zoom 1x  (4,2) ground";
    // The time at the end varies.
    const std::string route =
        "jump  cost 600  6 steps  " + std::to_string(state.path->stats.expanded) + " expanded ";
    Lines lines = formatInfoLine(*grid, view, state, 200);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with(cell + "  " + route)) << lines[0];
    lines = formatInfoLine(*grid, view, state, 50);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], cell);
    EXPECT_TRUE(lines[1].starts_with(route)) << lines[1];
}

}  // namespace
