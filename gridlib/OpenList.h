#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

// The search's open list: a binary heap that makes exactly the element moves
// of libstdc++'s std::push_heap and std::pop_heap, so that entries with equal
// costs leave it in the same order as from the standard algorithms and every
// route stays the same step for step. It exists because the standard heap
// spent most of the search's time: here the comparison is one unsigned compare
// of a packed key, the child choice has no branch, and the storage is kept
// between searches with the siblings of every node in one 32-byte block.

// Cost key of an entry: the smaller key comes out first. fCost in the high
// half and the complement of gCost in the low half give, as one unsigned
// comparison, "smaller fCost first, then larger gCost first".
inline std::uint64_t openKey(int fCost, int gCost) {
    return std::uint64_t(std::uint32_t(fCost)) << 32 | std::uint32_t(~std::uint32_t(gCost));
}
inline int openKeyFCost(std::uint64_t key) {
    return int(key >> 32);
}
inline int openKeyGCost(std::uint64_t key) {
    return int(~std::uint32_t(key));
}

// Key and payload together, so one cache line serves each level of a sift.
// The action is a word, not a byte: a byte store may alias anything, and the
// compiler would then reload the heap's pointer after every push.
struct alignas(16) OpenEntry {
    std::uint64_t key;
    std::int32_t cell;
    std::uint32_t action;
};
static_assert(sizeof(OpenEntry) == 16);

class OpenList {
  public:
    // Scratch of one search at a time: a copy starts empty, so the Grid
    // that owns it stays copyable.
    OpenList() = default;
    OpenList(const OpenList&) {}
    OpenList& operator=(const OpenList&) {
        clear();
        return *this;
    }
    ~OpenList() { release(); }

    bool empty() const { return count == 0; }
    std::size_t size() const { return count; }
    void clear() { count = 0; }
    // Entry j of the array std::push_heap/std::pop_heap would hold.
    const OpenEntry& operator[](std::size_t j) const { return slots[j + 1]; }

    const OpenEntry& top() const { return slots[1]; }

    // std::push_heap: append, then move the hole up while the parent ranks
    // strictly behind the new entry.
    void push(const OpenEntry& entry) {
        reserveFor(1);
        pushReserved(entry);
    }

    // Room for n more pushes, so that a caller that pushes several entries
    // in a row tests the capacity once.
    void reserveFor(std::size_t n) {
        if (count + 1 + n > capacity) grow(count + 1 + n);
    }
    void pushReserved(const OpenEntry& entry) {
        std::size_t hole = ++count;
        while (slots[hole / 2].key > entry.key) {
            slots[hole] = slots[hole / 2];
            hole /= 2;
        }
        slots[hole] = entry;
    }

    // std::pop_heap then pop_back: the top leaves, the hole it leaves sinks to
    // a leaf along the better child (the right one when both rank equal), and
    // the former last entry is sifted up from there. Always inlined: as a
    // call, the search spent 3 to 8 % more time.
    __attribute__((always_inline)) OpenEntry pop() {
        const OpenEntry top = slots[1];
        const std::size_t len = --count;
        if (len == 0) return top;
        const OpenEntry last = slots[len + 1];
        std::size_t hole = 1;
        // Two levels a step while all four grandchildren exist: their keys
        // load together with the children's, so a step waits on memory once.
        while (4 * hole + 3 <= len) {
            const std::uint64_t k2 = slots[2 * hole].key, k3 = slots[2 * hole + 1].key;
            const std::uint64_t k4 = slots[4 * hole].key, k5 = slots[4 * hole + 1].key;
            const std::uint64_t k6 = slots[4 * hole + 2].key, k7 = slots[4 * hole + 3].key;
            const bool leftChild = k3 > k2;
            const std::size_t child = 2 * hole + 1 - leftChild;
            const std::uint64_t right = leftChild ? k5 : k7, left = leftChild ? k4 : k6;
            const std::size_t grandchild = 2 * child + 1 - (right > left);
            slots[hole] = slots[child];
            slots[child] = slots[grandchild];
            hole = grandchild;
        }
        while (2 * hole + 1 <= len) {
            std::size_t child = 2 * hole + 1;
            child -= slots[child].key > slots[child - 1].key;
            slots[hole] = slots[child];
            hole = child;
        }
        if (2 * hole == len) {
            slots[hole] = slots[len];
            hole = len;
        }
        while (slots[hole / 2].key > last.key) {
            slots[hole] = slots[hole / 2];
            hole /= 2;
        }
        slots[hole] = last;
        return top;
    }

  private:
    // Entry j lives in slot j + 1, so the children of slot i are 2i and
    // 2i + 1: with the array 64-byte aligned, siblings share a 32-byte block
    // and four cousins one cache line.
    static constexpr std::align_val_t kAlign{64};

    void grow(std::size_t needed) {
        const std::size_t newCapacity = std::max(needed, capacity == 0 ? 1024 : 2 * capacity);
        auto* bigger =
            static_cast<OpenEntry*>(::operator new(newCapacity * sizeof(OpenEntry), kAlign));
        // Slot 0, the parent of the top, holds key 0, which ranks behind no
        // key, so a sift-up stops at the top without a test of its own.
        bigger[0] = OpenEntry{0, 0, 0};
        if (count > 0) std::memcpy(bigger + 1, slots + 1, count * sizeof(OpenEntry));
        release();
        slots = bigger;
        capacity = newCapacity;
    }
    void release() {
        if (slots != nullptr) ::operator delete(slots, kAlign);
        slots = nullptr;
    }

    OpenEntry* slots = nullptr;
    std::size_t count = 0;
    std::size_t capacity = 0;  // slots allocated, slot 0 the sentinel
};
