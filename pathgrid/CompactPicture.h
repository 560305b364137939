#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "FrameQueries.h"
#include "Grid.h"
#include "MapView.h"

// The map as one RGB picture of the window, for cells too small for inset
// squares. Cells of a pixel or more: each pixel shows the cell under its
// centre, so no tile vanishes into a grid line and every cell keeps at least
// one pixel of its own. Cells smaller than a pixel: each pixel shows the
// share-weighted mix of the colours of the cells it covers (black for its
// part beyond the map), so a wall or a gap one cell wide still shows as a
// darker or lighter line. The reach area and the search's tint are painted
// into it too, so one picture per change serves every frame until the view or
// those answers change.
class CompactPicture {
  public:
    // What the picture shows besides the tiles.
    struct Layers {
        const std::vector<bool>* expanded = nullptr;  // tint these positions
        const FrameQueries* reach = nullptr;          // yellow where this reaches
        int reachSize = 0;
        std::uint64_t expandedVersion = 0, reachVersion = 0;
        bool operator==(const Layers&) const = default;
    };

    // Rebuilds the picture unless it already shows `view` with `layers`.
    // Returns whether it did.
    bool update(const Grid& grid, const MapView& view, const Layers& layers);

    // Rows from the bottom of the window up, three bytes a pixel, as
    // glDrawPixels takes them.
    const std::vector<std::uint8_t>& rgb() const { return pixels; }

  private:
    void compose(const Grid& grid, const MapView& view, const Layers& layers);
    void composeMixed(const Grid& grid, const MapView& view, const Layers& layers);

    std::optional<MapView> shownView;  // none before the first picture
    Layers shownLayers;
    std::vector<std::uint8_t> pixels;
};
