#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "FileChecks.h"

struct Options {
    std::string scenario;  // a .scen file, or empty for random queries
    std::string map;       // overrides the scenario's map; the map of random queries
    int random = 0;        // number of random queries
    std::uint32_t seed = 1;
    int size = 0;
    bool check = false;
    std::string csv;   // one row per query; "-" for standard output
    std::string json;  // the summary and the rows; "-" for standard output
    // Every file named on the command line, to be checked before any work.
    std::vector<fileio::FileOption> files;
    bool times = true;
    // Which searches answer: "exact", "jump" or "both". Named is whether
    // --search was given; only then do the heading and the CSV name the
    // search, so that a run without it prints what it always printed.
    std::string search = "exact";
    bool searchNamed = false;
    // Threads that answer the queries at once, all on the one map. By default
    // as many as the cores this process may run on, so one when pinned.
    int threads = 1;
};

// Reads the command line into `options`. Files are only named here, not
// checked. Returns -1 when the run should go
// ahead, else the exit status (0 after --help, 2 after a bad command line,
// with the message on `err`).
int parseOptions(int argc, const char* const* argv, Options& options, std::ostream& out,
                 std::ostream& err);
