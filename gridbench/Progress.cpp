#include "Progress.h"

#include <chrono>

#include "ProgressLine.h"

namespace {

constexpr double kFirstDrawSeconds = 1.0;
constexpr double kRedrawSeconds = 0.1;

}  // namespace

QueryProgress::QueryProgress(std::ostream& out, std::size_t total, bool shown)
    : out_(out), total_(total) {
    if (shown) drawer_ = std::jthread([this](std::stop_token stop) { draw(stop); });
}

QueryProgress::~QueryProgress() {
    if (drawer_.joinable()) {
        drawer_.request_stop();
        drawer_.join();
    }
}

bool QueryProgress::pause(std::stop_token& stop, double seconds) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, stop, std::chrono::duration<double>(seconds), [] { return false; });
    return !stop.stop_requested();
}

void QueryProgress::draw(std::stop_token stop) {
    const auto start = std::chrono::steady_clock::now();
    if (!pause(stop, kFirstDrawSeconds)) return;
    ProgressLine line(out_, total_, "queries");
    do {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        line.update(done_.load(std::memory_order_relaxed), elapsed.count());
    } while (pause(stop, kRedrawSeconds));
    line.clear();
}
