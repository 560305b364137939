#pragma once

#include <iosfwd>

#include "Options.h"

// Checks the files named, loads the map and the queries, runs them, reports
// on `out` (unless a file goes to standard output) and writes the files.
// Returns the exit status: 0, 1 when --check found a wrong answer or a
// scenario optimum that disagrees with our Dijkstra, 2 when a file named
// cannot be used.
int runBench(const Options& options, std::ostream& out, std::ostream& err);
