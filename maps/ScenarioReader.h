#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// A scenario file: a "version" line, then one query per line with the
// fields bucket, map file, map width, map height, start x, start y, goal x,
// goal y and optimal length, separated by tabs (or, without tabs, by spaces).
struct Scenario {
    struct Entry {
        int line = 0;  // counted from 1
        int bucket = 0;
        std::string map;  // as written in the file
        int mapWidth = 0;
        int mapHeight = 0;
        int startX = 0, startY = 0, goalX = 0, goalY = 0;
        double optimal = 0;  // straight steps 1, diagonal steps sqrt 2
        // Places the optimum is printed to after the point ("1.41421": 5), so
        // that readers can allow for its rounding; negative with an exponent.
        int optimalDecimals = 0;
    };
    std::vector<Entry> entries;
};

// False with `error` = "line N: <reason>" when the text is not a scenario.
bool parseScenario(std::istream& in, Scenario& scenario, std::string& error);
