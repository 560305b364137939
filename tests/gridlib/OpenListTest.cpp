// The search's heap against the standard heap algorithms: after every push
// and pop the whole array must match, entry for entry, since entries of equal
// cost leave in the order the element moves give them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "OpenList.h"

namespace {

// `steps` random operations, pushes with probability pushPercent in the first
// half and 100 - pushPercent in the second, so the heap grows and shrinks
// again. Keys are drawn from `distinctKeys` values so that ties are the rule;
// every entry carries a unique cell, which shows any difference in how equal
// keys were moved.
void compareRandomRun(std::uint32_t seed, int steps, int pushPercent, int distinctKeys) {
    // The standard algorithms' view of the same order: a ranks behind b.
    const auto ranksBehind = [](const OpenEntry& a, const OpenEntry& b) { return a.key > b.key; };
    const auto same = [](const OpenEntry& a, const OpenEntry& b) {
        return a.key == b.key && a.cell == b.cell;
    };
    std::mt19937 rng(seed);
    OpenList heap;
    std::vector<OpenEntry> expected;
    for (int step = 0, nextCell = 0; step < steps; ++step) {
        const int percent = step < steps / 2 ? pushPercent : 100 - pushPercent;
        if (expected.empty() || int(rng() % 100) < percent) {
            const OpenEntry entry{std::uint64_t(rng() % distinctKeys), nextCell++, 0};
            heap.push(entry);
            expected.push_back(entry);
            std::push_heap(expected.begin(), expected.end(), ranksBehind);
        } else {
            std::pop_heap(expected.begin(), expected.end(), ranksBehind);
            const OpenEntry top = heap.pop();
            ASSERT_EQ(top.cell, expected.back().cell) << "step " << step;
            expected.pop_back();
        }
        ASSERT_EQ(heap.size(), expected.size()) << "step " << step;
        // Index of the first entry where the arrays differ; the size when none does.
        const auto differ = std::mismatch(expected.begin(), expected.end(), &heap[0], same).first;
        ASSERT_EQ(differ - expected.begin(), std::ptrdiff_t(expected.size())) << "step " << step;
    }
}

TEST(OpenList, MovesEntriesExactlyAsTheStandardHeap) {
    // Few distinct keys: nearly every comparison is a tie, including the
    // child choice of the sift-down.
    compareRandomRun(1, 40000, 55, 3);
    // Growing past several reallocations, then shrinking.
    compareRandomRun(2, 20000, 70, 50);
    compareRandomRun(3, 20000, 60, 1000);
    // Heaps of every small size, where the one-child case of the sift-down
    // and the pop of a single entry occur often.
    for (std::uint32_t seed = 10; seed < 40; ++seed) compareRandomRun(seed, 3000, 50, 2 + seed % 4);
}

}  // namespace
