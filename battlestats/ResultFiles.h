#ifndef BATTLESTATS_RESULT_FILES_H
#define BATTLESTATS_RESULT_FILES_H

// Battle results as files: CSV, one row per battle (also read back, to merge
// shards), and JSON, the summary per pair and the same rows (written by
// JsonFile.cpp). Every CSV row carries the tournament settings too, so that
// a file says on its own which tournament it belongs to.

#include <ostream>
#include <string>
#include <vector>

#include "Records.h"

// The CSV header line, without its newline.
extern const char* const CSV_HEADER;

// A policy list as written to the files: sorted, each policy once, the
// numbers joined by `separator`.
std::string policy_list(const std::vector<AttackPolicy>& policies, const char* separator);

void write_csv(std::ostream& out, const TournamentResult& result);

// The settings, the summary of every pair (its counts, the shares of red
// wins, draws and blue wins with their 95 % Wilson intervals, mean and
// median steps), the paired scores, and one row per battle; the schema is in
// the README's battlestats section.
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
