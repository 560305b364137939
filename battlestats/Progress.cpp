#include "Progress.h"

#include <string>

void ProgressBar::show(std::size_t done) {
    if (finished_) return;
    constexpr std::size_t WIDTH = 40;
    const std::size_t filled = total_ == 0 ? WIDTH : done * WIDTH / total_;
    const std::size_t percent = total_ == 0 ? 100 : done * 100 / total_;
    out_ << "\r[" << std::string(filled, '#') << std::string(WIDTH - filled, '.') << "] " << done
         << "/" << total_ << " battles " << percent << "%";
    if (done >= total_) {
        out_ << "\n";
        finished_ = true;
    }
    out_.flush();
}
