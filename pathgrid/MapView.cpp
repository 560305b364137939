#include "MapView.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

// Canvas coordinates times a map side can pass 2^63 on long thin maps.
__extension__ typedef __int128 Wide;

std::int64_t floorDiv(Wide a, Wide b) {
    Wide q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return static_cast<std::int64_t>(q);
}

int clampToRange(std::int64_t c, int cells) {
    return static_cast<int>(std::clamp<std::int64_t>(c, -1, cells));
}

}  // namespace

MapView::MapView(int mapWidth, int mapHeight, int windowWidth, int windowHeight)
    : mapW(mapWidth), mapH(mapHeight), winW(windowWidth), winH(windowHeight) {
    assert(mapWidth > 0 && mapHeight > 0);
    assert(windowWidth > 0 && windowHeight > 0);
}

void MapView::resizeWindow(int windowWidth, int windowHeight) {
    assert(windowWidth > 0 && windowHeight > 0);
    // The canvas scales with the window: the point at the old centre goes to
    // the new centre.
    const Wide centreX = Wide{originX} * 2 + winW, centreY = Wide{originY} * 2 + winH;
    originX = (floorDiv(centreX * windowWidth, winW) - windowWidth) / 2;
    originY = (floorDiv(centreY * windowHeight, winH) - windowHeight) / 2;
    winW = windowWidth;
    winH = windowHeight;
    clampOrigin();
}

bool MapView::canZoomIn() const {
    return canvasWidth() * 2 <= std::int64_t{kMaxCellPixels} * mapW &&
           canvasHeight() * 2 <= std::int64_t{kMaxCellPixels} * mapH;
}

bool MapView::zoomIn(int px, int py) {
    if (!canZoomIn()) return false;
    px = std::clamp(px, 0, winW - 1);
    py = std::clamp(py, 0, winH - 1);
    originX = originX * 2 + px;
    originY = originY * 2 + py;
    ++level;
    clampOrigin();
    return true;
}

bool MapView::zoomOut(int px, int py) {
    if (level == 0) return false;
    px = std::clamp(px, 0, winW - 1);
    py = std::clamp(py, 0, winH - 1);
    originX = floorDiv(originX - px, 2);
    originY = floorDiv(originY - py, 2);
    --level;
    clampOrigin();
    return true;
}

bool MapView::pan(int dx, int dy) {
    const MapView before = *this;
    originX += std::int64_t{dx} * (winW / 4);
    originY += std::int64_t{dy} * (winH / 4);
    clampOrigin();
    return !(*this == before);
}

bool MapView::showWholeMap() {
    const bool changed = level != 0;
    level = 0;
    originX = originY = 0;
    return changed;
}

void MapView::clampOrigin() {
    originX = std::clamp<std::int64_t>(originX, 0, canvasWidth() - winW);
    originY = std::clamp<std::int64_t>(originY, 0, canvasHeight() - winH);
}

double MapView::cellPixelsX() const {
    return static_cast<double>(canvasWidth()) / mapW;
}
double MapView::cellPixelsY() const {
    return static_cast<double>(canvasHeight()) / mapH;
}

bool MapView::showsInsetTiles() const {
    return canvasWidth() >= std::int64_t{kInsetMinPixels} * mapW &&
           canvasHeight() >= std::int64_t{kInsetMinPixels} * mapH;
}

int MapView::cellAtX(int px) const {
    return clampToRange(floorDiv(Wide{originX + px} * mapW, canvasWidth()), mapW);
}
int MapView::cellAtY(int py) const {
    return clampToRange(floorDiv(Wide{originY + py} * mapH, canvasHeight()), mapH);
}
int MapView::cellAtPixelCentreX(int px) const {
    return clampToRange(floorDiv(Wide{2 * (originX + px) + 1} * mapW, 2 * Wide{canvasWidth()}),
                        mapW);
}
int MapView::cellAtPixelCentreY(int py) const {
    return clampToRange(floorDiv(Wide{2 * (originY + py) + 1} * mapH, 2 * Wide{canvasHeight()}),
                        mapH);
}

// The cell that holds the window's last pixel column's right edge, less the
// cell that merely starts there.
int MapView::lastVisibleX() const {
    return clampCell(
        static_cast<int>(floorDiv(Wide{originX + winW} * mapW - 1, canvasWidth())), mapW);
}
int MapView::lastVisibleY() const {
    return clampCell(
        static_cast<int>(floorDiv(Wide{originY + winH} * mapH - 1, canvasHeight())), mapH);
}

double MapView::edgeX(std::int64_t c) const {
    return static_cast<double>(c) * static_cast<double>(canvasWidth()) / mapW -
           static_cast<double>(originX);
}
double MapView::edgeY(std::int64_t c) const {
    return static_cast<double>(c) * static_cast<double>(canvasHeight()) / mapH -
           static_cast<double>(originY);
}

MapView::Rect MapView::cellRect(int x, int y, int border) const {
    if (level == 0) {
        const float xPixel = 1.0f / winW;
        const float yPixel = 1.0f / winH;
        const float xScale = 1.0f / mapW;
        const float yScale = 1.0f / mapH;
        return {x * xScale + border * xPixel, y * yScale + border * yPixel,
                (x + 1) * xScale - (border + 1) * xPixel, (y + 1) * yScale - (border + 1) * yPixel};
    }
    return {static_cast<float>((edgeX(x) + border) / winW),
            static_cast<float>((edgeY(y) + border) / winH),
            static_cast<float>((edgeX(std::int64_t{x} + 1) - border - 1) / winW),
            static_cast<float>((edgeY(std::int64_t{y} + 1) - border - 1) / winH)};
}

MapView::Rect MapView::objectRect(int x, int y, int size) const {
    // A side shorter than the minimum becomes exactly kMinObjectPixels whole
    // pixels around the pixel that holds its centre.
    auto span = [](double lo, double hi) {
        if (hi - lo >= kMinObjectPixels) return std::pair{lo, hi};
        const double centrePixel = std::floor((lo + hi) / 2);
        const double first = centrePixel - (kMinObjectPixels - 1) / 2;
        return std::pair{first, first + kMinObjectPixels};
    };
    const auto [x0, x1] = span(edgeX(x), edgeX(std::int64_t{x} + size + 1));
    const auto [y0, y1] = span(edgeY(y), edgeY(std::int64_t{y} + size + 1));
    return {static_cast<float>(x0 / winW), static_cast<float>(y0 / winH),
            static_cast<float>(x1 / winW), static_cast<float>(y1 / winH)};
}
