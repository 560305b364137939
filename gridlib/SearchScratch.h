#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "HugePages.h"
#include "JumpSearchScratch.h"
#include "OpenList.h"

// What one search keeps between calls, so that it neither allocates nor
// clears per call. closed[cell] is searchStamp << 3 | action while the cell is
// closed in the current exact search, action being the step that reached it
// (enough to walk the route back); an older stamp means open. One word for
// both: the search reads the stamp of every neighbour, and writes both
// together.
struct SearchScratch {
    std::vector<std::uint32_t, HugePageAllocator<std::uint32_t>> closed;
    std::uint32_t searchStamp = 0;
    OpenList openList;
    JumpSearchScratch jump;
};

// Lends every search running at the same time a scratch of its own. A search
// on its own takes and returns the same one through a single atomic slot, so
// one thread keeps its warm tables at the price of two atomic exchanges;
// only searches that overlap reach the mutex and the spares. Scratches stay
// until the pool goes, one for each search that ever ran alongside others.
class ScratchPool {
  public:
    ScratchPool() = default;
    ScratchPool(const ScratchPool&) = delete;
    ScratchPool& operator=(const ScratchPool&) = delete;
    ~ScratchPool() { delete cached.load(std::memory_order_relaxed); }

    class Lease {
      public:
        explicit Lease(ScratchPool& pool) : pool(pool), scratch(pool.take()) {}
        ~Lease() { pool.giveBack(scratch); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        SearchScratch& operator*() const { return *scratch; }
        SearchScratch* operator->() const { return scratch; }

      private:
        ScratchPool& pool;
        SearchScratch* scratch;
    };

  private:
    SearchScratch* take() {
        if (SearchScratch* s = cached.exchange(nullptr, std::memory_order_acquire)) return s;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (!spares.empty()) {
                SearchScratch* s = spares.back().release();
                spares.pop_back();
                return s;
            }
        }
        return new SearchScratch;
    }
    void giveBack(SearchScratch* s) {
        SearchScratch* none = nullptr;
        if (cached.compare_exchange_strong(none, s, std::memory_order_release)) return;
        const std::lock_guard<std::mutex> lock(mutex);
        spares.push_back(std::unique_ptr<SearchScratch>(s));
    }

    std::atomic<SearchScratch*> cached{nullptr};
    std::mutex mutex;
    std::vector<std::unique_ptr<SearchScratch>> spares;
};
