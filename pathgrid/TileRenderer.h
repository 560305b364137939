#pragma once

#include <optional>
#include <vector>

#include "CompactPicture.h"
#include "Grid.h"
#include "MapView.h"

// Draws the map's tiles for the current view, as cheaply as fixed-function GL
// allows: only the visible cells, from arrays kept until the view changes when
// cells are big enough for inset squares, else as one cached picture of the
// window. Expects the unit-square projection of the display callback.
class TileRenderer {
  public:
    explicit TileRenderer(const Grid& grid) : grid(grid) {}

    // Inset tiles: the visible cells' squares with their grid lines, then the
    // tint over the positions in `expanded`, if given.
    void drawInsetTiles(const MapView& view, const std::vector<bool>* expanded);
    // Small cells: the picture with its layers (reach area, tint), its bottom
    // row `bottom` window rows above the window's bottom edge.
    void drawCompact(const MapView& view, const CompactPicture::Layers& layers, int bottom);

  private:
    void rebuildQuads(const MapView& view);

    const Grid& grid;
    std::optional<MapView> quadsView;  // none before the first arrays
    std::vector<float> vertices;      // four corners a cell, x and y each
    std::vector<float> cornerColors;  // RGB per corner
    CompactPicture picture;
};
