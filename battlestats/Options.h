#ifndef BATTLESTATS_OPTIONS_H
#define BATTLESTATS_OPTIONS_H

// The command line of battlestats.

#include <ostream>
#include <string>
#include <vector>

#include "FileChecks.h"
#include "Tournament.h"

struct Options {
    // master_seed 0 here means: take it from the clock.
    TournamentSettings tournament;
    int threads = 1;
    std::string csv;
    std::string json;
    std::string svg;
    bool sharded = false;
    Shard shard;
    std::vector<std::string> merge;
    // Every file the command line names, for fileio::checkFiles: the outputs
    // that were given (also when empty) and the files to merge.
    std::vector<fileio::FileOption> files;
};

// The default thread count: one per hardware thread, at least one.
int default_threads();

// Reads argv into `options`. Returns -1 when the program should go on, else
// the exit status after --help (0, text on `out`) or an error (1, one line on
// `err`).
int parse_options(int argc, const char* const* argv, Options& options, std::ostream& out,
                  std::ostream& err);

#endif
