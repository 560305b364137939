#include "Progress.h"

#include <cmath>

#include "Report.h"

namespace {

constexpr double FIRST_DRAW_SECONDS = 1.0;
constexpr double REDRAW_SECONDS = 0.1;

// "13 s", "4 min 05 s", "2 h 07 min".
std::string duration(double seconds) {
    const auto s = static_cast<long long>(std::ceil(seconds));
    if (s < 60) return std::to_string(s) + " s";
    const auto two = [](long long n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    if (s < 3600) return std::to_string(s / 60) + " min " + two(s % 60) + " s";
    return std::to_string(s / 3600) + " h " + two(s % 3600 / 60) + " min";
}

}  // namespace

std::string ProgressLine::text(std::size_t done, std::size_t total, double seconds) {
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " battles";
    if (done == 0 || seconds <= 0) return line;
    const double rate = static_cast<double>(done) / seconds;
    line += ", " + fixed(rate, rate < 10 ? 1 : 0) + " per second, ";
    return line + duration(static_cast<double>(total - done) / rate) + " left";
}

void ProgressLine::update(std::size_t done, double seconds) {
    if (seconds < FIRST_DRAW_SECONDS) return;
    if (drawn_at_ >= 0 && seconds - drawn_at_ < REDRAW_SECONDS) return;
    std::string line = text(done, total_, seconds);
    // Spaces wipe what is left of a longer previous line.
    const std::size_t length = line.size();
    if (length < width_) line += std::string(width_ - length, ' ');
    out_ << '\r' << line << std::flush;
    width_ = length;
    drawn_at_ = seconds;
}

void ProgressLine::clear() {
    if (drawn_at_ < 0) return;
    out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    drawn_at_ = -1;
    width_ = 0;
}
