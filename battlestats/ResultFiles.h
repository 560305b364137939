#ifndef BATTLESTATS_RESULT_FILES_H
#define BATTLESTATS_RESULT_FILES_H

// Battle results as files: CSV (also read back, to merge shards) and JSON,
// one row per battle. Every CSV row carries the tournament settings too, so
// that a file says on its own which tournament it belongs to.

#include <ostream>
#include <string>
#include <vector>

#include "Records.h"

// The CSV header line, without its newline.
extern const char* const CSV_HEADER;

void write_csv(std::ostream& out, const TournamentResult& result);
void write_json(std::ostream& out, const TournamentResult& result);

// A CSV file given to the merge: its name for messages and its contents.
struct CsvInput {
    std::string name;
    std::string text;
};

// Combines the rows of shard files into the complete tournament, in battle
// order. The rows must belong to one tournament and hold each of its battles
// exactly once. Returns an empty string on success, else a one-line reason.
std::string merge_csv(const std::vector<CsvInput>& inputs, TournamentResult& merged);

#endif
