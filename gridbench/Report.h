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

// "isConnected alone answered N of Q queries (P%) as unreachable".
void printConnectivityShare(std::ostream& out, const BucketSummary& total);

// One row per query, after a header row.
void writeCsv(std::ostream& out, const std::vector<Query>& queries,
              const std::vector<QueryResult>& results, bool times);
