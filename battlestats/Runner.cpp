#include "Runner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "Marine.h"
#include "Tank.h"
#include "World.h"

UnitRadii unit_radii() {
    const Marine marine(RED, Vec2(0, 0), ATTACK_WEAKEST, false);
    const Tank tank(RED, Vec2(0, 0), ATTACK_WEAKEST, false);
    return {marine.radius, tank.radius};
}

BattleOutcome run_battle(const Settings& s, int seed) {
    static const UnitRadii radii = unit_radii();
    World world(s.width, s.height, seed);
    place_armies(world, s, radii.marine, radii.tank);
    const BattleEnd end = run_to_end(world, true);
    if (end.red_score >= 0) return {static_cast<Outcome>(end.red_score), end.steps};
    return {TIMEOUT, MAX_STEPS};
}

std::vector<BattleOutcome> run_battles(const TournamentSettings& t,
                                       const std::vector<BattleJob>& jobs, int threads,
                                       const std::function<void(std::size_t)>& progress) {
    std::vector<BattleOutcome> outcomes(jobs.size(), BattleOutcome{TIMEOUT, 0});
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::size_t done = 0;
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable changed;

    auto work = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= jobs.size() || failed) break;
            try {
                outcomes[i] = run_battle(battle_settings(t, jobs[i].pair), jobs[i].seed);
            } catch (...) {
                const std::lock_guard lock(mutex);
                if (!failure) failure = std::current_exception();
                failed = true;
            }
            const std::lock_guard lock(mutex);
            ++done;
            changed.notify_all();
        }
    };

    const auto n_threads = static_cast<std::size_t>(std::max(1, threads));
    std::vector<std::jthread> workers;
    const std::size_t n_workers = std::min(n_threads, std::max<std::size_t>(jobs.size(), 1));
    for (std::size_t k = 0; k < n_workers; ++k) workers.emplace_back(work);

    {
        std::unique_lock lock(mutex);
        std::size_t shown = SIZE_MAX;
        while (done < jobs.size() && !failed) {
            if (progress && done != shown) {
                shown = done;
                lock.unlock();
                progress(shown);
                lock.lock();
            }
            changed.wait_for(lock, std::chrono::milliseconds(100));
        }
    }
    workers.clear();  // joins
    if (failure) std::rethrow_exception(failure);
    if (progress) progress(jobs.size());
    return outcomes;
}
