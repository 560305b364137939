// The search's heap must match the standard heap entry for entry after every push and pop.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "OpenList.h"

namespace {

// Growing then shrinking; few distinct keys make ties the rule, unique cells show their moves.
void compareRandomRun(std::uint32_t seed, int steps, int pushPercent, int distinctKeys) {
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
        const auto differ = std::mismatch(expected.begin(), expected.end(), &heap[0], same).first;
        ASSERT_EQ(differ - expected.begin(), std::ptrdiff_t(expected.size())) << "step " << step;
    }
}

TEST(OpenList, MovesEntriesExactlyAsTheStandardHeap) {
    compareRandomRun(1, 40000, 55, 3);   // nearly every comparison a tie
    compareRandomRun(2, 20000, 70, 50);  // past several reallocations
    compareRandomRun(3, 20000, 60, 1000);
    // Small heaps: the one-child sift-down and the pop of a single entry.
    for (std::uint32_t seed = 10; seed < 40; ++seed) compareRandomRun(seed, 3000, 50, 2 + seed % 4);
}

}  // namespace
