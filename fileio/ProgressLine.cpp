#include "ProgressLine.h"

#include <cmath>
#include <cstdio>

namespace {

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

std::string ProgressLine::text(std::size_t done, double seconds) const {
    std::string line = std::to_string(done) + "/" + std::to_string(total_) + " " + unit_;
    if (done == 0 || seconds <= 0) return line;
    const double rate = double(done) / seconds;
    char figures[32];
    std::snprintf(figures, sizeof figures, rate < 10 ? "%.1f" : "%.0f", rate);
    return line + ", " + figures + " per second, " + duration(double(total_ - done) / rate) +
           " left";
}

void ProgressLine::update(std::size_t done, double seconds) {
    if (seconds < kFirstDrawSeconds) return;
    if (drawnAt_ >= 0 && seconds - drawnAt_ < kRedrawSeconds) return;
    std::string line = "\r" + text(done, seconds);
    const std::size_t length = line.size() - 1;
    // Spaces wipe what a longer line before left.
    if (length < width_) line.append(width_ - length, ' ');
    out_ << line << std::flush;  // in one piece: std::cerr writes each << at once
    width_ = length;
    drawnAt_ = seconds;
}

void ProgressLine::clear() {
    if (drawnAt_ < 0) return;
    out_ << '\r' + std::string(width_, ' ') + '\r' << std::flush;
    drawnAt_ = -1;
    width_ = 0;
}
