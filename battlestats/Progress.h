#ifndef BATTLESTATS_PROGRESS_H
#define BATTLESTATS_PROGRESS_H

// A one-line progress bar, redrawn in place with a carriage return.

#include <cstddef>
#include <ostream>

class ProgressBar {
  public:
    ProgressBar(std::ostream& out, std::size_t total) : out_(out), total_(total) {}
    // Redraws the bar for `done` finished battles; ends the line at the total.
    void show(std::size_t done);

  private:
    std::ostream& out_;
    std::size_t total_;
    bool finished_ = false;
};

#endif
