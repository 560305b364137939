#pragma once

#include <vector>

#include "Runner.h"
#include "Statistics.h"

// What one search gave over all the queries, for the files written at the end.
struct SearchOutcome {
    const char* search = "";  // "exact" or "jump"
    std::vector<QueryResult> results;
    std::vector<BucketSummary> rows;  // one per bucket, then the total
    int optimaOff = -1;               // optima outside the band; -1 with none to compare
    double wallMicros = 0;
};
