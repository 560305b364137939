#pragma once

#include <iosfwd>
#include <vector>

#include "Query.h"
#include "Runner.h"
#include "Statistics.h"

// The table, one row per bucket and a total row. Without `times` the time
// columns show "-", so that two runs can be compared byte for byte.
void printTable(std::ostream& out, const std::vector<BucketSummary>& rows, bool times);

// "time in queries: T ms, E expansions per second" over the total row.
void printThroughput(std::ostream& out, const BucketSummary& total);

// "Q queries in W ms on N threads: R queries/s", W the wall-clock time of
// the whole run.
void printQueryRate(std::ostream& out, std::size_t queries, double wallMicros, int threads);

// "exact search X ms, jump point search Y ms: R times as fast".
void printSpeedRatio(std::ostream& out, double exactMicros, double jumpMicros);

// "isConnected alone answered N of Q queries (P%) as unreachable".
void printConnectivityShare(std::ostream& out, const BucketSummary& total);

// The header row; with `searchColumn`, a last column names the search.
void writeCsvHeader(std::ostream& out, bool searchColumn);

// One row per query; `search` fills the search column, none when null.
void writeCsvRows(std::ostream& out, const std::vector<Query>& queries,
                  const std::vector<QueryResult>& results, bool times, const char* search);
