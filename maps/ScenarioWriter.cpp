#include "ScenarioWriter.h"

#include <cstdio>
#include <ostream>

void writeScenario(std::ostream& out, const std::string& mapName, int width, int height,
                   const std::vector<ScenarioLine>& lines) {
    out << "version 1\n";
    for (const ScenarioLine& l : lines) {
        char optimal[32];
        std::snprintf(optimal, sizeof optimal, "%.8f", l.optimal);
        out << l.bucket << '\t' << mapName << '\t' << width << '\t' << height << '\t' << l.startX
            << '\t' << l.startY << '\t' << l.goalX << '\t' << l.goalY << '\t' << optimal << '\n';
    }
}
