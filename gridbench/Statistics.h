#pragma once

#include <cstdint>
#include <vector>

#include "Query.h"
#include "Runner.h"

// Figures over a group of queries: one bucket, or all of them.
struct BucketSummary {
    int bucket = 0;
    bool total = false;  // the row over all queries
    int queries = 0;
    int connected = 0;  // isConnected said yes
    int solved = 0;
    int unreachable = 0;
    int right = 0;  // answers the check found right, and wrong
    int wrong = 0;
    int refusedByConnectivity = 0;  // unreachable as soon as isConnected said no
    double totalMicros = 0;
    double meanMicros = 0;
    double medianMicros = 0;
    std::int64_t expanded = 0;
    int ratios = 0;  // solved queries with a positive optimum
    double meanRatio = 0;
    double maxRatio = 0;
};

// The 95 % Wilson score interval of a share of `count` in `n` > 0.
struct Interval {
    double low = 0;
    double high = 0;
};
Interval wilsonInterval(int count, int n);

// One summary per bucket in ascending order, then the total.
std::vector<BucketSummary> summarize(const std::vector<Query>& queries,
                                     const std::vector<QueryResult>& results);
