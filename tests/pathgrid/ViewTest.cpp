// The viewer's GL-free parts: view arithmetic, cached answers, the small-cell picture, the info
// line.

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

// A huge, long map keeps the pointed cell to the last zoom; far pointers give the side.
TEST(MapView, HugeMapsKeepThePointedCellToTheLastZoom) {
    MapView view(100000, 3, 640, 480);
    while (view.zoomIn(639, 240)) ASSERT_EQ(view.cellAtX(639), 99843);  // 156.25 cells a pixel
    EXPECT_EQ(view.cellAtX(1'000'000'000), 100000);
    EXPECT_GT(view.cellPixels() * 2, MapView::kMaxCellPixels);
}

// Square cells: the map fills the window along its long side, centred along the other.
TEST(MapView, LongMapsHaveSquareCellsAndAreCentred) {
    MapView view(2048, 256, 640, 640);
    EXPECT_DOUBLE_EQ(view.cellPixels(), 0.3125);
    EXPECT_EQ(view.cellAtX(639), 2044);
    EXPECT_EQ(view.cellAtY(279), -1);  // 640 - 80 rows, half above
    EXPECT_EQ(view.cellAtY(280), 0);
    EXPECT_EQ(view.cellAtY(360), 256);
    const MapView::Rect r = view.cellRect(16, 32, 0);
    EXPECT_NEAR(r.x0 * 640, 5, 1e-3);
    EXPECT_NEAR(r.y0 * 640, 290, 1e-3);

    // Zoomed at a pointer beside the map: centred while lower than the window, column kept.
    EXPECT_TRUE(view.zoomIn(100, 20));
    EXPECT_EQ(view.cellAtX(100), 320);
    EXPECT_EQ(view.cellAtY(240), 0);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(view.zoomIn(100, 20));  // 5 pixels a cell
    EXPECT_EQ(view.cellAtX(100), 320);
    EXPECT_EQ(view.cellAtY(20), 8);

    // A tall map the same way across: 213.3 pixels wide, 213 of the rest left of it.
    EXPECT_EQ(MapView(100, 300, 640, 640).cellAtX(212), -1);
    EXPECT_EQ(MapView(100, 300, 640, 640).cellAtX(213), 0);
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
}

TEST(MapView, InsetTilesFromFourPixelsACell) {
    EXPECT_TRUE(MapView(160, 160, 640, 640).showsInsetTiles());
    EXPECT_FALSE(MapView(160, 161, 640, 640).showsInsetTiles());
}

// Insets 1 (route) and 2 (idle object) shrink below 8 pixels a cell to keep 3 x 3 pixels inside.
TEST(MapView, OverlayInsetsShrinkBelowEightPixelsACellToKeepThreeByThree) {
    for (const auto& [cell, inset1, inset2] : {std::tuple{4.0, 0, 0},
                                               {5.0, 0, 0},
                                               {6.0, 1, 1},
                                               {7.9, 1, 1},
                                               {8.0, 1, 2},
                                               {64.0, 1, 2}}) {
        SCOPED_TRACE(std::to_string(cell) + " pixels a cell");
        const int W = static_cast<int>(cell * 96);
        const MapView view(96, 96, W, W);
        EXPECT_EQ(view.overlayInset(1), inset1);
        EXPECT_EQ(view.overlayInset(2), inset2);
        for (int border : {1, 2}) {
            // The rasteriser fills the pixel centres inside the square.
            const MapView::Rect r = view.cellRect(37, 37, view.overlayInset(border));
            EXPECT_GE(std::ceil(r.x1 * W - 0.5) - std::ceil(r.x0 * W - 0.5),
                      MapView::kMinObjectPixels)
                << "border " << border;
        }
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
        // From the middle on; (0, 0), which reaches nothing, on a map without a place.
        const int w = grid.getWidth(), h = grid.getHeight();
        for (int i = 0, x, y; i < w * h && !(sx || sy); ++i)
            if ((x = (i + w / 2) % w) + size < w &&
                (y = ((i + w / 2) / w + h / 2) % h) + size < h &&
                grid.isConnected(size, x, y, x, y))
                std::tie(sx, sy) = std::pair{x, y};
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

// The composed picture: from a pixel a cell the cell under each pixel's centre; smaller,
// the mix of the cells a pixel covers weighted by their shares, black beyond.
void expectPicture(const Grid& grid, const MapView& view, const PictureLayers& layers, bool mixes) {
    ASSERT_EQ(view.mixesCells(), mixes);
    const int W = view.windowWidth(), H = view.windowHeight();
    const int w = grid.getWidth(), h = grid.getHeight();
    const double cell = view.cellPixels();
    const MapView::Rect first = view.cellRect(0, 0, 0);
    const double originX = -std::round(first.x0 * W), originY = -std::round(first.y0 * H);
    const auto overlap = [cell](double origin, int p, int c) {
        return std::min(origin + p + 1, (c + 1) * cell) - std::max(origin + p, c * cell);
    };
    CompactPicture picture;
    ASSERT_TRUE(picture.update(grid, view, layers.layers));
    ASSERT_FALSE(picture.update(grid, view, layers.layers));  // kept until something changes
    for (int py = 0; py < H; ++py) {
        for (int px = 0; px < W; ++px) {
            const Rgb8 got = pixelOf(picture, view, px, py);
            if (!mixes) {
                const int cx = view.cellAtPixelCentreX(px), cy = view.cellAtPixelCentreY(py);
                ASSERT_EQ(got, layers.colourOf(grid, cx, cy)) << "pixel " << px << "," << py;
                continue;
            }
            double sum[3] = {0, 0, 0};
            for (int cy = 0; cy < h; ++cy) {
                const double dy = overlap(originY, py, cy);
                for (int cx = 0; dy > 0 && cx < w; ++cx) {
                    const double dx = overlap(originX, px, cx);
                    if (dx <= 0) continue;
                    const Rgb8 c = layers.colourOf(grid, cx, cy);
                    sum[0] += dx * dy * c.r;
                    sum[1] += dx * dy * c.g;
                    sum[2] += dx * dy * c.b;
                }
            }
            ASSERT_TRUE(std::abs(got.r - sum[0]) <= 0.51 && std::abs(got.g - sum[1]) <= 0.51 &&
                        std::abs(got.b - sum[2]) <= 0.51)
                << "pixel " << px << "," << py;
        }
    }
}

TEST(CompactPicture, EachPixelShowsTheCellUnderItsCentreFromOnePixelACell) {
    const GridPtr grid = gridFromRows(noiseRows(203, 150, 30, 20, 7));
    MapView view(203, 150, 61, 45);  // 0.3 pixels a cell at the whole map, 1.2 at level 2
    for (int level = 1; level < 5; ++level)
        if (view.zoomIn(40, 20) && level >= 2)
            expectPicture(*grid, view, PictureLayers(*grid, level % 2), false);
}

TEST(CompactPicture, APixelOverSeveralCellsShowsTheirShareWeightedMix) {
    const GridPtr grid = gridFromRows(noiseRows(203, 150, 30, 20, 7));
    MapView view(203, 150, 61, 45);
    view.zoomIn(40, 20);  // 0.6 pixels a cell, off the map's corner
    expectPicture(*grid, view, PictureLayers(*grid, 1), true);
    // Every map family and object size: reach asks only the first of each run on one tile.
    for (const NamedMap& family : mapFamilies()) {
        const GridPtr map = gridFromRows(family.rows);
        const MapView view(map->getWidth(), map->getHeight(), map->getWidth() * 2 / 5,
                           map->getHeight() * 2 / 5 + 3);
        for (int size = 0; size <= 2; ++size) {
            SCOPED_TRACE(std::string(family.name) + ", size " + std::to_string(size));
            expectPicture(*map, view, PictureLayers(*map, size), true);
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
    const Rgb8 ground = kTileRgb[Grid::GROUND];
    EXPECT_GT(pixelOf(picture, view, 100, 311).r, ground.r + 10) << "a greyer line";
    const Rgb8 gap = pixelOf(picture, view, 322, 320);
    EXPECT_GT(gap.g, gap.r + 10) << "a greener line";
}

// The search is named before its route, outside path mode too; the keys hint fits the room left.
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
    EXPECT_EQ(formatInfoLine(*grid, view, state, 40),  // the hint moves down
              (Lines{"5x4  2x2  zoom 1x  (3,2) ground", "jump     " + hint}));

    FrameQueries queries(*grid, RouteSearch::JUMP);
    state = {"rooms.map", 0, 4, 2, RouteSearch::JUMP, &queries.path(0, 0, 0, 4, 2, false)};
    const Lines lines = formatInfoLine(*grid, view, state, 50);  // no room for the hint
    EXPECT_EQ(lines[0], "rooms.map 5x4  1x1  zoom 1x  (4,2) ground");
    EXPECT_TRUE(lines[1].starts_with("jump  cost 600  6 steps  " +
                                     std::to_string(state.path->stats.expanded) + " expanded "))
        << lines[1];
}

}  // namespace
