#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <ostream>
#include <stop_token>
#include <string>
#include <thread>

// The progress line of a long run on a terminal: "D/T queries, R per second,
// S s left", drawn from a thread of its own once the run has taken a second
// (a long query or its check leaves the workers silent), redrawn in place ten
// times a second, and wiped when the object goes. Whether `out` is a terminal
// is the caller's to decide, so that pipes and files never see the line.
class QueryProgress {
  public:
    QueryProgress(std::ostream& out, std::size_t total, bool shown);
    ~QueryProgress();
    QueryProgress(const QueryProgress&) = delete;
    QueryProgress& operator=(const QueryProgress&) = delete;

    // What the workers count their answered queries in.
    std::atomic<std::size_t>& done() { return done_; }

  private:
    void draw(std::stop_token stop);
    // Waits `seconds` unless stopped first; false once stopped.
    bool pause(std::stop_token& stop, double seconds);

    std::ostream& out_;
    std::size_t total_;
    std::atomic<std::size_t> done_{0};
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::jthread drawer_;  // last: it uses everything above
};
