// The viewer's GL-free parts: view arithmetic, answers kept between frames,
// the picture composed for small cells and the info line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "CompactPicture.h"
#include "FrameQueries.h"
#include "InfoLine.h"
#include "MapView.h"
#include "Palette.h"
#include "TestMaps.h"

namespace {

// Every pixel lies in its cell's rectangle at every zoom and view position, for
// square and long maps and windows; far pointers give -1 or the side, no more.
TEST(MapView, PixelToCellToRectangleRoundTripsAtEveryZoom) {
    const std::pair<int, int> maps[] = {{3, 3},     {16, 16},     {100, 100},       {161, 161},
                                        {641, 641}, {2048, 2048}, {100000, 100000}, {2048, 256},
                                        {7, 300},   {100000, 3}};
    for (const auto& [w, h] : maps) {
        for (const auto& [W, H] : {std::pair{1, 1}, {97, 97}, {640, 640}, {640, 480}, {97, 300}}) {
            MapView view(w, h, W, H);
            int step = 0;
            do {
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " cells in " +
                             std::to_string(W) + "x" + std::to_string(H) + " pixels, level " +
                             std::to_string(view.zoomLevel()));
                view.pan(step % 2 ? 1 : -1, step % 3 ? 1 : -1);
                ASSERT_EQ(view.cellAtX(-1'000'000'000), -1);
                ASSERT_EQ(view.cellAtX(1'000'000'000), w);
                ASSERT_EQ(view.cellAtY(1'000'000'000), h);
                for (int px = 0; px < W; ++px) {
                    const int c = view.cellAtX(px), shown = view.cellAtPixelCentreX(px);
                    if (c < 0 || c >= w) continue;  // beside a centred map
                    // Border 0 ends one pixel short of the next cell's edge.
                    const MapView::Rect r = view.cellRect(c, 0, 0);
                    ASSERT_TRUE(r.x0 * W <= px + 1e-3 && r.x1 * W + 1 > px - 1e-3)
                        << "pixel " << px;
                    // The picture samples the pixel's centre, a cell it covers.
                    ASSERT_TRUE(shown >= c && shown <= view.cellAtX(px + 1)) << shown << " " << c;
                }
                // Cells are square; one on screen, where floats are close.
                const MapView::Rect r = view.cellRect(std::clamp(view.cellAtX(W / 2), 0, w - 1),
                                                      std::clamp(view.cellAtY(H / 2), 0, h - 1), 0);
                ASSERT_NEAR((r.x1 - r.x0) * W, (r.y1 - r.y0) * H, 1e-3);
            } while (view.zoomIn(W / 3 + ++step * 7, H / 2));
            // Zoomed in as far as it goes, unless the whole map is already larger.
            ASSERT_LE(view.cellPixels(),
                      std::max(std::min(1.0 * W / w, 1.0 * H / h), 1.0 * MapView::kMaxCellPixels));
            ASSERT_GT(view.cellPixels() * 2, MapView::kMaxCellPixels);
        }
    }
}

// Square cells: the map fills the window along its long side, centred along the other.
TEST(MapView, LongMapsHaveSquareCellsAndAreCentred) {
    MapView view(2048, 256, 640, 640);
    EXPECT_DOUBLE_EQ(view.cellPixels(), 0.3125);
    EXPECT_EQ(view.cellAtX(0), 0);
    EXPECT_EQ(view.cellAtX(639), 2044);
    EXPECT_EQ(view.cellAtY(279), -1);  // 640 - 80 rows, half above
    EXPECT_EQ(view.cellAtY(280), 0);
    EXPECT_EQ(view.cellAtY(359), 252);
    EXPECT_EQ(view.cellAtY(360), 256);
    EXPECT_EQ(view.firstVisibleY(), 0);
    EXPECT_EQ(view.lastVisibleY(), 255);
    const MapView::Rect r = view.cellRect(16, 32, 0);
    EXPECT_NEAR(r.x0 * 640, 5, 1e-3);
    EXPECT_NEAR(r.y0 * 640, 290, 1e-3);

    // Zoomed at a pointer beside the map: centred while lower than the window, column kept.
    EXPECT_TRUE(view.zoomIn(100, 20));
    EXPECT_EQ(view.cellAtX(100), 320);
    EXPECT_EQ(view.cellAtY(240), 0);
    EXPECT_EQ(view.cellAtY(400), 256);
    EXPECT_TRUE(view.zoomIn(100, 20));
    EXPECT_TRUE(view.zoomIn(100, 20));  // 2.5 pixels a cell: 640 rows
    EXPECT_EQ(view.cellAtY(0), 0);
    EXPECT_EQ(view.lastVisibleY(), 255);
    EXPECT_TRUE(view.zoomIn(100, 20));
    EXPECT_EQ(view.cellAtX(100), 320);
    EXPECT_EQ(view.cellAtY(20), 8);

    // A tall map, and a square one in a wide window, the same way across.
    const MapView tall(100, 300, 640, 640);
    EXPECT_EQ(tall.cellAtX(213), 0);  // 213.3 pixels wide: 213 of the rest left of it
    EXPECT_EQ(tall.cellAtX(212), -1);
    EXPECT_EQ(tall.lastVisibleX(), 99);
    const MapView wide(64, 64, 800, 640);
    EXPECT_DOUBLE_EQ(wide.cellPixels(), 10);
    EXPECT_EQ(wide.cellAtX(79), -1);
    EXPECT_EQ(wide.cellAtX(80), 0);
    EXPECT_EQ(wide.cellAtX(719), 63);
    EXPECT_EQ(wide.cellAtX(720), 64);
}

// The map moves under the pointer by the pixels dragged, until its edge meets the window's.
TEST(MapView, DraggingMovesTheMapWithThePointer) {
    MapView view(64, 64, 640, 640);
    EXPECT_FALSE(view.drag(30, 0));  // the whole map: nowhere to go
    view.zoomIn(320, 320);           // 20 pixels a cell, cells 16 to 47 shown
    const int cx = view.cellAtX(300), cy = view.cellAtY(300);
    EXPECT_TRUE(view.drag(-45, 60));
    EXPECT_EQ(view.cellAtX(300 - 45), cx);
    EXPECT_EQ(view.cellAtY(300 + 60), cy);
    EXPECT_TRUE(view.drag(10000, 0));
    EXPECT_EQ(view.firstVisibleX(), 0);
    EXPECT_FALSE(view.drag(1, 0));
    EXPECT_TRUE(view.drag(-10000, -10000));
    EXPECT_EQ(view.lastVisibleX(), 63);
    EXPECT_EQ(view.lastVisibleY(), 63);
    EXPECT_EQ(view.cellAtY(639), 63);
}

TEST(MapView, ZoomKeepsThePointedCellAndStopsAtTheLimits) {
    MapView view(2048, 1024, 640, 640);
    const MapView whole = view;
    EXPECT_FALSE(view.zoomOut(10, 10));
    const int cx = view.cellAtX(300);
    int levels = 0, cy = -2;
    while (view.zoomIn(300, 200)) {
        ++levels;
        EXPECT_EQ(view.cellAtX(300), cx);
        // Rows are kept once the map is as high as the window; before, it is centred.
        if (cy != -2) {
            EXPECT_EQ(view.cellAtY(200), cy);
        }
        cy = view.cellAtY(200);
    }
    // 0.3125 px a cell, square: 40 px after seven doublings.
    EXPECT_EQ(levels, 7);
    EXPECT_DOUBLE_EQ(view.cellPixels(), 40);
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

// Insets 1 (route, ends) and 2 (idle object) hold from 8 pixels a cell; below, down to
// 4, they shrink so 3 x 3 pixels of the overlay's colour stay inside the tile square.
TEST(MapView, OverlayInsetsShrinkBelowEightPixelsACellToKeepThreeByThree) {
    const struct {
        double cell;
        int inset1, inset2;
    } cases[] = {{4, 0, 0},   {4.9, 0, 0}, {5, 0, 0},  {6, 1, 1},  {7, 1, 1},
                 {7.9, 1, 1}, {8, 1, 2},   {10, 1, 2}, {40, 1, 2}, {64, 1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cell) + " pixels a cell");
        // 96 cells in a window of that many pixels per cell.
        const int W = static_cast<int>(c.cell * 96);
        const MapView view(96, 96, W, W);
        EXPECT_EQ(view.overlayInset(1), c.inset1);
        EXPECT_EQ(view.overlayInset(2), c.inset2);
        for (int border : {1, 2}) {
            // What the rasteriser fills: the pixel centres inside the square.
            const MapView::Rect r = view.cellRect(37, 37, view.overlayInset(border));
            const double x0 = r.x0 * W, x1 = r.x1 * W;
            const int filled = static_cast<int>(std::ceil(x1 - 0.5) - std::ceil(x0 - 0.5));
            EXPECT_GE(filled, MapView::kMinObjectPixels) << "border " << border;
        }
    }
    // The default view, 10 pixels a cell: exactly the insets asked for.
    const MapView whole(64, 64, 640, 640);
    EXPECT_EQ(whole.overlayInset(1), 1);
    EXPECT_EQ(whole.overlayInset(2), 2);
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
    EXPECT_EQ(std::count(recorded.expanded.begin(), recorded.expanded.end(), true),
              recorded.stats.expanded);
    queries.path(0, 0, 0, 4, 2, false);
    EXPECT_EQ(queries.searchesRun(), 2);

    // Not connected: no search and nothing expanded, also when asked again with the recording.
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

// F3 with a route held: searched again with the other search, its expansions recorded.
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
    // {size, from, changed?, a position, reached?}. A 2x2 object at (3, 1) or (2, 0)
    // straddles two tiles and reaches nothing, so moving between them changes nothing.
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

// Test layers: reach from the first place an object of `size` fits, every third cell tinted.
struct PictureLayers {
    FrameQueries queries;
    std::vector<bool> expanded;
    int size;
    int sx = 0, sy = 0;
    CompactPicture::Layers layers;

    PictureLayers(const Grid& grid, int size)
        : queries(grid), expanded(std::size_t(grid.getWidth()) * grid.getHeight()), size(size) {
        // Searched from the middle; (0, 0), which reaches nothing, on a map without one.
        const int w = grid.getWidth(), h = grid.getHeight();
        for (int i = 0; i < w * h; ++i) {
            const int x = (i + w / 2) % w, y = ((i + w / 2) / w + h / 2) % h;
            if (x + size < w && y + size < h && grid.isConnected(size, x, y, x, y)) {
                sx = x;
                sy = y;
                break;
            }
        }
        queries.setReachFrom(size, sx, sy);
        for (std::size_t i = 0; i < expanded.size(); i += 3) expanded[i] = true;
        layers = {&expanded, &queries, size, 1, queries.reachVersion()};
    }
    // Yellow under a reached object, else the tile, tinted where the search expanded.
    Rgb8 colourOf(const Grid& grid, int cx, int cy) const {
        const int w = grid.getWidth(), h = grid.getHeight();
        for (int y = cy - size; y <= cy; ++y)
            for (int x = cx - size; x <= cx; ++x)
                if (x >= 0 && y >= 0 && x + size < w && y + size < h &&
                    grid.isConnected(size, sx, sy, x, y))
                    return kYellowRgb;
        const Rgb8 tile = kTileRgb[grid.getTile(cx, cy)];
        return expanded[std::size_t(cy) * w + cx] ? tinted(tile) : tile;
    }
};

Rgb8 pixelOf(const CompactPicture& picture, const MapView& view, int px, int py) {
    const int W = view.windowWidth(), H = view.windowHeight();
    const std::uint8_t* got = &picture.rgb()[((H - 1 - py) * W + px) * 3];
    return {got[0], got[1], got[2]};
}

// The composed picture against one worked out here: with cells of a pixel or more
// the cell under each pixel's centre; smaller, in floating point from the cells'
// edges, the mix of the cells a pixel covers weighted by their shares, black beyond.
void expectPicture(const Grid& grid, const MapView& view, const PictureLayers& layers, bool mixes) {
    ASSERT_EQ(view.mixesCells(), mixes);
    const int W = view.windowWidth(), H = view.windowHeight();
    const int w = grid.getWidth(), h = grid.getHeight();
    const double cell = view.cellPixels();
    // The window's corner in canvas pixels, from cell 0's edges.
    const MapView::Rect first = view.cellRect(0, 0, 0);
    const double originX = -std::round(first.x0 * W), originY = -std::round(first.y0 * H);
    // How much of pixel p's span cell c covers along one axis.
    const auto overlap = [cell](double origin, int p, int c) {
        return std::min(origin + p + 1, (c + 1) * cell) - std::max(origin + p, c * cell);
    };
    std::vector<Rgb8> colours;
    for (int cy = 0; cy < h; ++cy)
        for (int cx = 0; cx < w; ++cx) colours.push_back(layers.colourOf(grid, cx, cy));
    CompactPicture picture;
    ASSERT_TRUE(picture.update(grid, view, layers.layers));
    ASSERT_FALSE(picture.update(grid, view, layers.layers));  // kept until something changes
    for (int py = 0; py < H; ++py) {
        for (int px = 0; px < W; ++px) {
            const Rgb8 got = pixelOf(picture, view, px, py);
            if (!mixes) {
                const int cx = view.cellAtPixelCentreX(px), cy = view.cellAtPixelCentreY(py);
                ASSERT_EQ(got, colours[std::size_t(cy) * w + cx]) << "pixel " << px << "," << py;
                continue;
            }
            double sum[3] = {0, 0, 0};
            for (int cy = 0; cy < h; ++cy) {
                const double dy = overlap(originY, py, cy);
                for (int cx = 0; dy > 0 && cx < w; ++cx) {
                    const double dx = overlap(originX, px, cx);
                    if (dx <= 0) continue;
                    const Rgb8 c = colours[std::size_t(cy) * w + cx];
                    sum[0] += dx * dy * c.r;
                    sum[1] += dx * dy * c.g;
                    sum[2] += dx * dy * c.b;
                }
            }
            const int channels[3] = {got.r, got.g, got.b};
            for (int i = 0; i < 3; ++i)
                ASSERT_NEAR(channels[i], sum[i], 0.51) << "pixel " << px << "," << py;
        }
    }
}

TEST(CompactPicture, EachPixelShowsTheCellUnderItsCentreFromOnePixelACell) {
    const GridPtr grid = gridFromRows(noiseRows(203, 150, 30, 20, 7));
    for (int level = 2; level < 5; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        MapView view(203, 150, 61, 45);  // 0.3 pixels a cell at the whole map
        for (int i = 0; i < level; ++i) view.zoomIn(40, 20);
        expectPicture(*grid, view, PictureLayers(*grid, level % 2), false);
    }
}

TEST(CompactPicture, APixelOverSeveralCellsShowsTheirShareWeightedMix) {
    const GridPtr grid = gridFromRows(noiseRows(203, 150, 30, 20, 7));
    for (const auto& [W, H, zooms] : {std::tuple{61, 45, 0}, {61, 45, 1}, {50, 70, 0}}) {
        SCOPED_TRACE(std::to_string(W) + "x" + std::to_string(H) + " zoomed " +
                     std::to_string(zooms));
        MapView view(203, 150, W, H);
        for (int i = 0; i < zooms; ++i) view.zoomIn(40, 20);
        expectPicture(*grid, view, PictureLayers(*grid, 1), true);
    }
    // Every map family and object size: reach asks only the first of each run on one tile.
    for (const NamedMap& family : mapFamilies()) {
        const GridPtr map = gridFromRows(family.rows);
        const int w = map->getWidth(), h = map->getHeight();
        for (int size = 0; size <= 2; ++size) {
            SCOPED_TRACE(std::string(family.name) + ", size " + std::to_string(size));
            expectPicture(*map, MapView(w, h, w * 2 / 5, h * 2 / 5 + 3), PictureLayers(*map, size),
                          true);
        }
    }
}

// At 0.3125 pixels a cell a one-cell wall and a one-cell gap hold no pixel's centre, yet show.
TEST(CompactPicture, OneCellWallsAndGapsShowInTheOverview) {
    MapRows rows(256, std::string(2048, '.'));
    for (int x = 0; x < 2048; ++x) rows[100][x] = '#';  // thin wall
    for (int y = 0; y < 256; ++y)
        for (int x = 1024; x < 1040; ++x) rows[y][x] = y == 129 ? '.' : '#';  // gap at 129
    const GridPtr grid = gridFromRows(rows);
    const MapView view(2048, 256, 640, 640);
    CompactPicture picture;
    picture.update(*grid, view, {});
    // Row 100 lies in pixel row 280 + 31.25 = 311; row 129 in 320.
    const Rgb8 ground = kTileRgb[Grid::GROUND], wall = kTileRgb[Grid::BLOCKED];
    EXPECT_EQ(pixelOf(picture, view, 100, 310), ground);
    EXPECT_EQ(pixelOf(picture, view, 100, 312), ground);
    const Rgb8 thin = pixelOf(picture, view, 100, 311);
    EXPECT_GT(thin.r, ground.r + 10) << "the wall shows as a greyer line";
    EXPECT_EQ(pixelOf(picture, view, 322, 319), wall);
    EXPECT_EQ(pixelOf(picture, view, 322, 321), wall);
    const Rgb8 gap = pixelOf(picture, view, 322, 320);
    EXPECT_GT(gap.g, gap.r + 10) << "the gap shows as a greener line";
}

// The search is named also outside path mode, leading the route's line; where the keys
// are listed ends the first line with room for it, shorter when space is short.
TEST(InfoLine, NamesTheSearchInUseBeforeItsRouteAndWhereTheKeysAreListed) {
    const GridPtr grid = gridFromRows({".....", ".###.", ".....", "~~~~~"});
    const MapView view(5, 4, 640, 640);
    using Lines = std::vector<std::string>;
    InfoLineState state{"rooms.map", 1, 3, 2, RouteSearch::EXACT, nullptr};
    const std::string cell = "rooms.map 5x4  2x2  zoom 1x  (3,2) ground";
    const std::string hint = "keys and mouse: pathgrid --help";
    EXPECT_EQ(formatInfoLine(*grid, view, state, 79),
              (Lines{cell + std::string(79 - cell.size() - hint.size(), ' ') + hint, "A*"}));
    state.search = RouteSearch::JUMP;
    EXPECT_EQ(formatInfoLine(*grid, view, state, 60),
              (Lines{cell + "       keys: --help", "jump"}));
    // Too narrow for the file name and the hint beside the cell: the hint moves down.
    EXPECT_EQ(formatInfoLine(*grid, view, state, 40),
              (Lines{"5x4  2x2  zoom 1x  (3,2) ground", "jump     " + hint}));

    FrameQueries queries(*grid, RouteSearch::JUMP);
    state = {"rooms.map", 0, 4, 2, RouteSearch::JUMP, &queries.path(0, 0, 0, 4, 2, false)};
    const std::string cell1 = "rooms.map 5x4  1x1  zoom 1x  (4,2) ground";
    // The time at the end varies.
    const std::string route =
        "jump  cost 600  6 steps  " + std::to_string(state.path->stats.expanded) + " expanded ";
    for (std::size_t width : {50u, 79u, 200u}) {
        const Lines lines = formatInfoLine(*grid, view, state, width);
        ASSERT_EQ(lines.size(), std::size_t(kInfoBandLines));
        EXPECT_TRUE(lines[0].starts_with(cell1)) << lines[0];
        EXPECT_TRUE(lines[1].starts_with(route)) << lines[1];
        // No room for the hint beside either at 50 characters.
        EXPECT_EQ(lines[0].ends_with("--help"), width > 50) << lines[0];
        EXPECT_LE(lines[0].size(), width);
    }
}

}  // namespace
