#include "ScenarioMap.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

std::vector<std::string> scenarioMapPlaces(const std::string& scenario, const std::string& map) {
    const fs::path named(map);
    if (named.is_absolute()) return {map};
    const fs::path folder = fs::path(scenario).parent_path();
    std::vector<std::string> places;
    for (const fs::path& place : {folder / named, named, folder / named.filename()}) {
        // Compared as spelt out, so that "./x.map" and "x.map" are one place.
        const auto same = [&](const std::string& p) {
            return fs::path(p).lexically_normal() == place.lexically_normal();
        };
        if (std::none_of(places.begin(), places.end(), same)) places.push_back(place.string());
    }
    return places;
}

bool findScenarioMap(const std::string& scenario, const std::string& map, std::string& found,
                     std::string& problem) {
    const std::vector<std::string> places = scenarioMapPlaces(scenario, map);
    for (const std::string& place : places) {
        std::error_code error;
        // Anything there is taken, so that a folder or a FIFO in the first
        // place is refused rather than passed over.
        if (fs::exists(fs::status(place, error))) {
            found = place;
            return true;
        }
    }
    problem = "Cannot find the map " + map + " of " + scenario + ": tried ";
    for (std::size_t i = 0; i < places.size(); ++i) problem += (i > 0 ? ", " : "") + places[i];
    return false;
}
