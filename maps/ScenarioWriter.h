#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// One query of a scenario to write.
struct ScenarioLine {
    int bucket = 0;
    int startX = 0, startY = 0, goalX = 0, goalY = 0;
    double optimal = 0;  // straight steps 1, diagonal steps sqrt 2
};

// The scenario file: "version 1", then one tab-separated line per query.
void writeScenario(std::ostream& out, const std::string& mapName, int width, int height,
                   const std::vector<ScenarioLine>& lines);
