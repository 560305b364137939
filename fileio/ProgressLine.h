#pragma once

#include <cstddef>
#include <ostream>
#include <string>

// The progress line of a long run on a terminal: "120/900 battles, 60 per
// second, 13 s left", rewritten in place with a carriage return and cleared
// at the end. Nothing shows in the first second, so short runs leave the
// terminal as they found it. Whether `out` is a terminal, and the times, are
// the caller's, so that pipes and files never see the line.
class ProgressLine {
  public:
    // `unit` names what is counted: "battles", "queries".
    ProgressLine(std::ostream& out, std::size_t total, std::string unit)
        : out_(out), total_(total), unit_(std::move(unit)) {}

    // `done` finished `seconds` after the start. Redraws at most ten times a
    // second, and not before the first second has passed.
    void update(std::size_t done, double seconds);
    // Removes the line, if one was drawn, leaving the cursor at its start.
    void clear();

    // The line without its carriage return.
    std::string text(std::size_t done, double seconds) const;

  private:
    std::ostream& out_;
    std::size_t total_;
    std::string unit_;
    double drawnAt_ = -1;
    std::size_t width_ = 0;
};
