#pragma once

#include <string>
#include <vector>

// Where the map a scenario names may be, in the order it is looked for: as
// written, relative to the scenario's folder and then to the working
// directory (benchmark sets name maps from their root, as in
// "maps/dao/lak503d.map"), then by its base name beside the scenario. An
// absolute name is only itself. No place comes twice.
std::vector<std::string> scenarioMapPlaces(const std::string& scenario, const std::string& map);

// The first of those places where something exists, in `found`; else false
// with the one-line message "Cannot find the map M of S: tried P1, P2".
bool findScenarioMap(const std::string& scenario, const std::string& map, std::string& found,
                     std::string& problem);
