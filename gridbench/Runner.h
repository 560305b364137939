#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Grid.h"
#include "PathSearcher.h"
#include "Query.h"

// What the searcher answered for one query, and what it cost.
struct QueryResult {
    bool fits = true;        // both positions leave the object inside the map
    bool connected = false;  // isConnected said yes
    int cost = -1;           // findShortestPath's result, -1 when not searched or unreachable
    int straightSteps = 0;
    int diagonalSteps = 0;
    std::int64_t expanded = 0;
    std::int64_t pushed = 0;
    double micros = 0;  // isConnected and, when it said yes, the search
    enum Check { UNCHECKED, RIGHT, WRONG } check = UNCHECKED;

    bool solved() const { return cost >= 0; }
    double length() const;  // of the route found, diagonals sqrt 2
    // Our cost over the scenario's optimum in the same units; -1 without one.
    double ratio(const Query& query) const;
};

// Looks at each answer right after it was timed; returns the empty string
// when it is right, else what is wrong.
using AnswerVerifier =
    std::function<std::string(const Query&, const QueryResult&, const Grid::Path&)>;

// Makes the verifier of one thread. It is called once per thread, before any
// query runs, so each verifier may keep scratch of its own.
using VerifierFactory = std::function<AnswerVerifier()>;

// One run over all the queries.
struct QueryRun {
    std::vector<QueryResult> results;   // in query order, whatever thread answered
    std::vector<std::string> problems;  // in query order
    double wallMicros = 0;              // the whole run, verification included
    int threads = 1;                    // that answered, at most one per query
};

// Asks isConnected first and searches only when it says yes, the way the
// viewer does. Positions where the object does not fit count as unreachable
// without asking. `threads` threads take the queries one at a time and all
// ask the one `searcher`. Wrong answers are described in the run's problems,
// prefixed with the query's label; without a factory nothing is verified.
// `done`, when given, counts the queries answered (and verified) so far, for
// a progress line drawn by another thread.
QueryRun runQueries(const PathSearcher& searcher, int width, int height, int size,
                    const std::vector<Query>& queries, int threads,
                    const VerifierFactory& makeVerifier, std::atomic<std::size_t>* done = nullptr);
