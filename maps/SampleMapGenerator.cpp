#include "SampleMapGenerator.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <vector>

namespace {

enum Cell { GROUND_CELL, WATER_CELL, BLOCKED_CELL };

class Plan {
  public:
    Plan(int width, int height)
        : width(width), height(height), cells(std::size_t(width) * height) {}

    // Plan coordinates (0..64) to map cells; integer arithmetic keeps the
    // output the same on every machine.
    int mx(int u) const { return int(std::int64_t(u) * width / 64); }
    int my(int v) const { return int(std::int64_t(v) * height / 64); }

    // Fills the map cells [x0, x1) x [y0, y1), clipped to the map.
    void fillRect(int x0, int y0, int x1, int y1, Cell c) {
        for (int y = std::max(y0, 0); y < std::min(y1, height); ++y) {
            for (int x = std::max(x0, 0); x < std::min(x1, width); ++x) at(x, y) = c;
        }
    }

    // Fills the ellipse of plan centre (cu, cv) and plan radii (ru, rv).
    void fillEllipse(int cu, int cv, int ru, int rv, Cell c) {
        const std::int64_t cx = mx(cu), cy = my(cv), rx = mx(ru), ry = my(rv);
        for (std::int64_t y = cy - ry; y <= cy + ry; ++y) {
            for (std::int64_t x = cx - rx; x <= cx + rx; ++x) {
                if (x < 0 || y < 0 || x >= width || y >= height) continue;
                // Radii grown by half a cell: round outlines without single-cell tips.
                const std::int64_t dx = 2 * (x - cx), dy = 2 * (y - cy);
                const std::int64_t ax = 2 * rx + 1, ay = 2 * ry + 1;
                if (dx * dx * ay * ay + dy * dy * ax * ax <= ax * ax * ay * ay) {
                    at(int(x), int(y)) = c;
                }
            }
        }
    }

    RgbImage paint() const {
        RgbImage image(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const SampleColor& k =
                    cells[std::size_t(y) * width + x] == WATER_CELL     ? kSampleWater
                    : cells[std::size_t(y) * width + x] == BLOCKED_CELL ? kSampleBlocked
                                                                        : kSampleGround;
                image.set(x, y, k.r, k.g, k.b);
            }
        }
        return image;
    }

  private:
    Cell& at(int x, int y) { return cells[std::size_t(y) * width + x]; }

    int width;
    int height;
    std::vector<Cell> cells;
};

}  // namespace

RgbImage makeSampleMap(int width, int height) {
    assert(width >= kSampleMapMinSide && height >= kSampleMapMinSide);
    Plan plan(width, height);

    // Western lakes, the southern one with an island.
    plan.fillEllipse(13, 12, 8, 5, WATER_CELL);
    plan.fillEllipse(12, 52, 7, 7, WATER_CELL);
    plan.fillEllipse(12, 52, 2, 2, GROUND_CELL);

    // A wall from the western edge that routes around its eastern end.
    plan.fillRect(0, plan.my(38), plan.mx(20), plan.my(40), BLOCKED_CELL);

    // Eastern lakes joined by a river two cells wide.
    plan.fillEllipse(52, 12, 8, 5, WATER_CELL);
    plan.fillEllipse(52, 52, 8, 6, WATER_CELL);
    plan.fillRect(plan.mx(52), plan.my(14), plan.mx(52) + 2, plan.my(50), WATER_CELL);

    // A few boulders east of the central wall.
    plan.fillRect(plan.mx(38), plan.my(24), plan.mx(40), plan.my(26), BLOCKED_CELL);
    plan.fillRect(plan.mx(42), plan.my(38), plan.mx(45), plan.my(40), BLOCKED_CELL);
    plan.fillRect(plan.mx(58), plan.my(30), plan.mx(60), plan.my(34), BLOCKED_CELL);

    // The central wall, crossed by corridors of width 1, 2 and 3.
    const int wallBegin = plan.mx(kPlanWallBegin);
    const int wallEnd = plan.mx(kPlanWallEnd);
    plan.fillRect(wallBegin, 0, wallEnd, height, BLOCKED_CELL);
    const int corridorRows[3] = {plan.my(kPlanCorridor1Row), plan.my(kPlanCorridor2Row),
                                 plan.my(kPlanCorridor3Row)};
    for (int i = 0; i < 3; ++i) {
        plan.fillRect(wallBegin, corridorRows[i], wallEnd, corridorRows[i] + i + 1, GROUND_CELL);
    }
    return plan.paint();
}
