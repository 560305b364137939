#pragma once

// Straight moves over a plane of a PositionBitmap, many positions a load, for
// the jump point search: where a move along a row must stop, and how a
// diagonal move carries the windows it reads from one position to the next.

#include <bit>
#include <climits>
#include <cstdint>

#include "PositionBitmap.h"

namespace rowscans {

constexpr int kNoGoal = INT_MIN / 2;  // the goal is not on the scanned row

// A plane of the bitmap as the scans read it.
struct PlaneView {
    const std::uint8_t* bytes;
    std::int64_t stride;
};

// A straight move along a row is scanned kStep positions at a time from
// windows of that row and of the rows on either side. Towards higher columns
// (dir > 0) `here` starts one position on from where the move starts and the
// side windows at it, so that a side window's bit k + 1 is beside here's bit
// k and its bit k behind. Towards lower columns all three start kStep + 2
// positions back: bits 2 to kStep + 1 are the positions scanned, the nearest
// at the top, and a side window's bit k + 1 is behind its bit k. A window
// holds kWindowBits good bits; the two spare ones let a diagonal move derive
// the windows of its next position from those of the last by a shift, so
// that each diagonal step loads one new window per plane (see stepWindows).
constexpr int kStep = BitPlane::kWindowBits - 3;
constexpr int kBackOffset = 2;

template <int dir>
constexpr std::uint64_t kScanned = ((std::uint64_t(1) << kStep) - 1) << (dir > 0 ? 0 : kBackOffset);

struct Windows {
    std::uint64_t here, above, below;
};

// The window of the row `rowOffset` rows from the position at bit `at`.
template <int dir>
__attribute__((always_inline)) inline std::uint64_t windowAt(PlaneView plane, std::int64_t at,
                                                             int rowOffset) {
    const std::int64_t first = dir > 0 ? at + (rowOffset == 0) : at - kStep - kBackOffset;
    return BitPlane::window(plane.bytes, first + rowOffset * plane.stride);
}

template <int dir>
__attribute__((always_inline)) inline Windows windowsAt(PlaneView plane, std::int64_t at) {
    return {windowAt<dir>(plane, at, 0), windowAt<dir>(plane, at, -1), windowAt<dir>(plane, at, 1)};
}

// The positions of a window where a straight move must stop: a blocked one
// (clear bit), or a free one with a forced neighbour, a side position that is
// free while the one behind it is not.
template <int dir>
__attribute__((always_inline)) inline std::uint64_t stopsIn(const Windows& w) {
    std::uint64_t stops;
    if constexpr (dir > 0)
        stops = ~w.here | (w.above >> 1 & ~w.above) | (w.below >> 1 & ~w.below);
    else
        stops = ~w.here | (w.above & ~(w.above >> 1)) | (w.below & ~(w.below >> 1));
    return stops & kScanned<dir>;
}

// How many steps a straight move from the position at bit `at` of a plane
// goes along its row, in direction `dir`, before it must stop: at a position
// with a forced neighbour, or at the goal, `goal` steps on (kNoGoal when it
// is not on the row). 0 when it runs into a blocked position first. `w` are
// the windows at `at`.
template <int dir>
__attribute__((always_inline)) inline int scanFrom(PlaneView plane, std::int64_t at, int goal,
                                                   Windows w) {
    for (int done = 0;; done += kStep) {
        std::uint64_t stops = stopsIn<dir>(w);
        if constexpr (dir > 0) {
            const unsigned toGoal = unsigned(goal - 1 - done);
            if (toGoal < unsigned(kStep)) stops |= std::uint64_t(1) << toGoal;
            if (stops != 0) {
                const int k = std::countr_zero(stops);
                return (w.here >> k & 1) ? done + 1 + k : 0;
            }
        } else {
            const unsigned toGoal = unsigned(done + kStep - goal);
            if (toGoal < unsigned(kStep)) stops |= std::uint64_t(1) << (toGoal + kBackOffset);
            if (stops != 0) {
                const int k = 63 - std::countl_zero(stops);
                return (w.here >> k & 1) ? done + kStep + kBackOffset - k : 0;
            }
        }
        w = windowsAt<dir>(plane, at + dir * (done + kStep));
    }
}

template <int dir>
__attribute__((always_inline)) inline int scan(PlaneView plane, std::int64_t at, int goal) {
    return scanFrom<dir>(plane, at, goal, windowsAt<dir>(plane, at));
}

// Whether a straight move with windows `w` runs into a blocked position
// within them, before any position where it must stop.
template <int dir>
__attribute__((always_inline)) inline bool blockedFirst(const Windows& w) {
    const std::uint64_t stops = stopsIn<dir>(w);
    if constexpr (dir > 0) return (stops & (0 - stops) & ~w.here) != 0;
    return stops != 0 && (~w.here >> (63 - std::countl_zero(stops)) & 1);
}

// The windows of a scan along a row in direction `along` from the position
// one step on along the row and one row on across it, in direction `across`,
// from the windows of the position before: two are the old ones shifted.
// `at` is the new position.
template <int along, int across>
__attribute__((always_inline)) inline Windows stepWindows(PlaneView plane, std::int64_t at,
                                                          const Windows& w) {
    const std::uint64_t ahead = across < 0 ? w.above : w.below;
    const std::uint64_t here = along > 0 ? ahead >> 2 : ahead << 1;
    const std::uint64_t behind = along > 0 ? w.here : w.here << 1;
    const std::uint64_t next = windowAt<along>(plane, at, across);
    return across < 0 ? Windows{here, next, behind} : Windows{here, behind, next};
}

// From the windows of a scan along a row in direction dx, whether the
// diagonal step (dx, dy) from where it starts is free: the next position
// along the row, and the position beside the start and the one beside that
// in the row on side dy.
template <int dx, int dy>
__attribute__((always_inline)) inline bool diagonalFree(const Windows& w) {
    const std::uint64_t side = dy < 0 ? w.above : w.below;
    if constexpr (dx > 0) return w.here & side & side >> 1 & 1;
    constexpr int next = kStep + kBackOffset - 1;  // the bit of the position one step on
    return w.here >> next & side >> next & side >> (next + 1) & 1;
}

}  // namespace rowscans
