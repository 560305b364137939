#pragma once

// The Grid's two route searches the viewer can draw: the exact A*
// (findShortestPath) and the jump point search (findJumpPointPath), which
// finds a route of the same cost, often another one, expanding far fewer
// positions.
enum class RouteSearch { EXACT, JUMP };

constexpr RouteSearch otherSearch(RouteSearch search) {
    return search == RouteSearch::EXACT ? RouteSearch::JUMP : RouteSearch::EXACT;
}
