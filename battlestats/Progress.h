#ifndef BATTLESTATS_PROGRESS_H
#define BATTLESTATS_PROGRESS_H

// The progress line of a long run on a terminal: battles done of the total,
// the rate and the time left, rewritten in place with a carriage return and
// cleared at the end. A run that ends within a second shows nothing, so
// short runs leave the terminal as they found it. The caller decides whether
// the stream is a terminal; times come from the caller, so that the line
// depends on nothing else.

#include <cstddef>
#include <ostream>
#include <string>

class ProgressLine {
  public:
    ProgressLine(std::ostream& out, std::size_t total) : out_(out), total_(total) {}
    // `done` battles finished `seconds` after the start. Redraws at most ten
    // times a second, and not before the first second has passed.
    void update(std::size_t done, double seconds);
    // Removes the line, if one was drawn, leaving the cursor at its start.
    void clear();

    // "120/900 battles, 60.0 per second, 13 s left" (the line without its
    // carriage return).
    static std::string text(std::size_t done, std::size_t total, double seconds);

  private:
    std::ostream& out_;
    std::size_t total_;
    double drawn_at_ = -1;
    std::size_t width_ = 0;
};

#endif
