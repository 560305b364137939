#include "CompactPicture.h"

#include <algorithm>
#include <cstring>

#include "Palette.h"

bool CompactPicture::update(const Grid& grid, const MapView& view, const Layers& layers) {
    if (shownView == view && layers == shownLayers) return false;
    compose(grid, view, layers);
    shownView = view;
    shownLayers = layers;
    return true;
}

void CompactPicture::compose(const Grid& grid, const MapView& view, const Layers& layers) {
    const int W = view.windowWidth(), H = view.windowHeight();
    const int w = grid.getWidth(), h = grid.getHeight();
    const int size = layers.reachSize;
    pixels.assign(static_cast<std::size_t>(W) * H * 3, 0);

    std::vector<int> columnCell(W);
    for (int px = 0; px < W; ++px) columnCell[px] = view.cellAtPixelCentreX(px);

    // A cell is yellow when some reachable position's footprint covers it.
    auto reached = [&](int cx, int cy) {
        for (int y = std::max(cy - size, 0); y <= std::min(cy, h - 1 - size); ++y)
            for (int x = std::max(cx - size, 0); x <= std::min(cx, w - 1 - size); ++x)
                if (layers.reach->reaches(x, y)) return true;
        return false;
    };
    auto colorOf = [&](int cx, int cy) {
        if (layers.reach && reached(cx, cy)) return kYellowRgb;
        const Rgb8 tile = kTileRgb[grid.getTile(cx, cy)];
        if (layers.expanded && (*layers.expanded)[static_cast<std::size_t>(cy) * w + cx])
            return tinted(tile);
        return tile;
    };

    int previousCellRow = -2;
    for (int py = 0; py < H; ++py) {
        const int cy = view.cellAtPixelCentreY(py);
        std::uint8_t* row = &pixels[static_cast<std::size_t>(H - 1 - py) * W * 3];
        if (cy == previousCellRow) {
            // Same cells as the row just composed (the one below in memory).
            std::memcpy(row, row + static_cast<std::size_t>(W) * 3, static_cast<std::size_t>(W) * 3);
            continue;
        }
        previousCellRow = cy;
        if (cy < 0 || cy >= h) continue;  // beyond the map: background
        int previousCell = -2;
        Rgb8 color{};
        for (int px = 0; px < W; ++px) {
            const int cx = columnCell[px];
            if (cx < 0 || cx >= w) continue;
            if (cx != previousCell) {
                color = colorOf(cx, cy);
                previousCell = cx;
            }
            row[px * 3] = color.r;
            row[px * 3 + 1] = color.g;
            row[px * 3 + 2] = color.b;
        }
    }
}
