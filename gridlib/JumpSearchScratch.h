#pragma once

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <vector>

#include "OpenList.h"

// Which node a jump search made for a cell: an open-addressing hash table
// sized to the search's nodes, not to the map, so that a search touches a few
// cache lines where a table per cell would spread over many pages. A search
// clears it by moving on to a new stamp.
class NodeIndex {
  public:
    // Forgets every cell.
    void clear() {
        count = 0;
        if (++stamp == 0) {  // wrapped: old stamps could come back
            std::fill(entries.begin(), entries.end(), Entry{});
            stamp = 1;
        }
    }

    // The node of `cell`, which the caller sets when it is kNone.
    std::uint32_t& nodeOf(std::uint32_t cell) {
        if (2 * (count + 1) > entries.size()) grow();
        Entry* slot = find(cell);
        if (slot->stamp != stamp) {
            *slot = Entry{stamp, cell, kNone};
            ++count;
        }
        return slot->node;
    }

    static constexpr std::uint32_t kNone = UINT32_MAX;

  private:
    struct Entry {
        std::uint32_t stamp = 0;
        std::uint32_t cell = 0;
        std::uint32_t node = 0;
    };

    // The entry of `cell`, or the free one where it would go. The top bits
    // of a multiplicative hash: the low ones would follow the cell's column.
    Entry* find(std::uint32_t cell) {
        const std::size_t mask = entries.size() - 1;
        std::size_t i = std::size_t((cell * 0x9E3779B97F4A7C15ull) >> shift);
        while (entries[i].stamp == stamp && entries[i].cell != cell) i = (i + 1) & mask;
        return &entries[i];
    }

    __attribute__((noinline)) void grow() {
        std::vector<Entry> old(std::max<std::size_t>(1024, 2 * entries.size()));
        old.swap(entries);
        shift = 64 - std::countr_zero(entries.size());
        for (const Entry& e : old)
            if (e.stamp == stamp) *find(e.cell) = e;
    }

    std::vector<Entry> entries;  // a power of two of them, at most half in use
    int shift = 64;              // 64 - log2 of their number
    std::size_t count = 0;       // cells with the current stamp
    std::uint32_t stamp = 1;
};

// What the jump point search keeps between calls, so that a search neither
// allocates nor clears a table the size of the map.
struct JumpSearchScratch {
    struct Node {
        int x, y;
        int gCost;
        int parent;            // index in `nodes`; -1 for the start
        std::uint8_t arrival;  // the direction it was reached in, or kStart
        bool closed;
    };
    static constexpr std::uint8_t kStart = 8;

    NodeIndex nodeIndex;
    std::vector<Node> nodes;
    OpenList open;
    std::vector<OpenEntry> nextUp;
};
