#pragma once

#include <string>

// One question for the benchmark: from the start position to the goal
// position (top-left cells of the object).
struct Query {
    int line = 0;  // line of the scenario file; 0 for a generated query
    int bucket = 0;
    int startX = 0;
    int startY = 0;
    int goalX = 0;
    int goalY = 0;
    double optimal = -1;      // the scenario's optimal length (diagonal sqrt 2), -1 when unknown
    int optimalDecimals = 0;  // places printed after the point, for its rounding
};

// How a query is named in messages: its scenario line, else its number.
inline std::string queryLabel(const Query& query, std::size_t index) {
    return query.line > 0 ? "line " + std::to_string(query.line)
                          : "query " + std::to_string(index + 1);
}
