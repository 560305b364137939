#include "Progress.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kFirstDrawSeconds = 1.0;
constexpr double kRedrawSeconds = 0.1;

// "13 s", "4 min 05 s", "2 h 07 min".
std::string duration(double seconds) {
    const auto s = static_cast<long long>(std::ceil(seconds));
    char text[48];
    if (s < 60) {
        std::snprintf(text, sizeof text, "%lld s", s);
    } else if (s < 3600) {
        std::snprintf(text, sizeof text, "%lld min %02lld s", s / 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld h %02lld min", s / 3600, s % 3600 / 60);
    }
    return text;
}

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

std::string QueryProgress::text(std::size_t done, std::size_t total, double seconds) {
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " queries";
    if (done == 0 || seconds <= 0) return line;
    const double rate = double(done) / seconds;
    char figures[32];
    std::snprintf(figures, sizeof figures, rate < 10 ? "%.1f" : "%.0f", rate);
    return line + ", " + figures + " per second, " + duration(double(total - done) / rate) +
           " left";
}

bool QueryProgress::pause(std::stop_token& stop, double seconds) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, stop, std::chrono::duration<double>(seconds), [] { return false; });
    return !stop.stop_requested();
}

void QueryProgress::draw(std::stop_token stop) {
    const auto start = Clock::now();
    if (!pause(stop, kFirstDrawSeconds)) return;
    std::size_t width = 0;
    do {
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::string line = "\r" + text(done_.load(std::memory_order_relaxed), total_, seconds);
        const std::size_t length = line.size() - 1;
        // Spaces wipe what a longer line before left.
        if (length < width) line.append(width - length, ' ');
        out_ << line << std::flush;  // in one piece, as std::cerr writes each << at once
        width = length;
    } while (pause(stop, kRedrawSeconds));
    out_ << '\r' + std::string(width, ' ') + '\r' << std::flush;
}
