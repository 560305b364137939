#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "Grid.h"
#include "Options.h"
#include "Query.h"

// The map and the queries of a run.
struct Inputs {
    GridPtr grid;
    std::string mapPath;
    std::vector<Query> queries;
    std::string source;  // where the queries came from, for the heading
    // A scenario's optima were left out: they are lengths for an object of
    // one cell, and --size asked for a larger one.
    bool optimaLeftOut = false;
};

// Reads the scenario and its map, or the map and makes the random queries.
// False after a one-line message on `err`. The files named on the command
// line have been checked already; the map a scenario names is checked here,
// against the outputs too.
bool loadInputs(const Options& options, Inputs& in, std::ostream& err);
