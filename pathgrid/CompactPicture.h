#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "FrameQueries.h"
#include "Grid.h"
#include "MapView.h"

// The map as one RGB picture of the window, for cells too small for inset
// squares: each pixel shows the cell under its centre, so a map of any size
// shows its shapes and no tile vanishes into a grid line. The reach area and
// the search's tint are painted into it too, so one picture per change serves
// every frame until the view or those answers change.
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

    std::optional<MapView> shownView;  // none before the first picture
    Layers shownLayers;
    std::vector<std::uint8_t> pixels;
};
