#pragma once

#include "BitmapWriter.h"

// Smallest side of a sample map: below it the corridors and lakes overlap.
constexpr int kSampleMapMinSide = 64;

// The sample map for pathgrid, laid out on a 64 x 64 plan and stretched to
// width x height: ground with lakes of water, a wall from top to bottom that
// corridors of width 1, 2 and 3 cross (each object size has its own way
// through), a wall from the left edge and a river between the eastern lakes.
// Corridor and river widths stay fixed whatever the size.
RgbImage makeSampleMap(int width, int height);

// The colours the map is painted in; any pixel of one of them loads as its tile.
struct SampleColor {
    unsigned char r, g, b;
};
constexpr SampleColor kSampleGround{96, 160, 64};
constexpr SampleColor kSampleWater{32, 96, 192};
constexpr SampleColor kSampleBlocked{80, 72, 64};

// Where the corridors cross the central wall, on the plan's 64 x 64 scale: the
// top row of each corridor, and the wall's first and last column.
constexpr int kPlanCorridor1Row = 31;
constexpr int kPlanCorridor2Row = 16;
constexpr int kPlanCorridor3Row = 46;
constexpr int kPlanWallBegin = 28;
constexpr int kPlanWallEnd = 34;  // one past the last wall column
