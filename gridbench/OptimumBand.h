#pragma once

#include <string>
#include <vector>

#include "Query.h"
#include "Runner.h"

// Our costs count 100 per straight step and 142 per diagonal, a scenario's
// optimum 1 and sqrt 2, so for an object of one cell our cost over 100 times
// the optimum lies between 1 and 142/141.42. The scenario prints its optimum
// to `decimals` places, so the cost agrees when the band holds for some
// length within a unit of the last place ("1.41421" for a cost of 142 does).
// Outside that the optimum belongs to other rules or another map.
bool costAgreesWithOptimum(int cost, double optimal, int decimals);

// The queries whose scenario optimum falls outside the band of our cost, one
// description per query ("line N: optimum X, cost C"). Only answers that can
// be trusted count: with `checkedOnly` those the check found right, whose
// cost is the reference Dijkstra's; otherwise every answer. Queries without
// an optimum (random ones) are skipped.
std::vector<std::string> findOptimumMismatches(const std::vector<Query>& queries,
                                               const std::vector<QueryResult>& results,
                                               bool checkedOnly);
