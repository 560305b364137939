#pragma once

#include <cstdint>
#include <vector>

#include "HugePages.h"
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
    std::vector<std::uint32_t, HugePageAllocator<std::uint32_t>> nodeAt;
    std::vector<Node> nodes;
    OpenList open;
    std::vector<OpenEntry> nextUp;
};
