#pragma once

#include <string>
#include <vector>

#include "BmpWriter.h"
#include "Grid.h"

// Maps written as rows of characters: '.' ground, '~' water, '#' blocked.
using MapRows = std::vector<std::string>;

// Colours that load as each tile, away from the thresholds.
RgbImage imageFromRows(const MapRows& rows);
GridPtr gridFromRows(const MapRows& rows);
