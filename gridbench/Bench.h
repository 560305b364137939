#pragma once

#include <iosfwd>

#include "Options.h"

// Loads the map and the queries, runs them and reports. Returns the exit
// status: 0, 1 when --check found a wrong answer or a scenario optimum that
// disagrees with our Dijkstra, 2 when an input file or the CSV file cannot be
// used.
int runBench(const Options& options, std::ostream& out, std::ostream& err);
