#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "OpenList.h"

// What the jump point search keeps between calls, so that a search neither
// allocates nor clears a table the size of the map.
struct JumpSearchScratch {
    struct Node {
        int x, y;
        int gCost;
        int parent;  // index in `nodes`; -1 for the start
        std::uint8_t arrival;  // the direction it was reached in, or kStart
        bool closed;
    };
    static constexpr std::uint8_t kStart = 8;

    JumpSearchScratch() = default;
    // A copy starts empty, so that the Grid that holds it stays copyable.
    JumpSearchScratch(const JumpSearchScratch&) {}
    JumpSearchScratch& operator=(const JumpSearchScratch&) { return *this; }

    // Per cell: 1 + the index of its node in `nodes`, 0 for none. Only the
    // cells of this search's nodes are nonzero, and they are cleared after it.
    // From calloc, so that the pages of a large map that no search touches
    // are never written.
    struct Free {
        void operator()(std::uint32_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint32_t[], Free> nodeAt;
    std::size_t nodeAtSize = 0;
    std::vector<Node> nodes;
    OpenList open;
};
