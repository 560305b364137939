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

std::int64_t ceilDiv(Wide a, Wide b) {
    return -floorDiv(-a, b);
}

int clampToRange(std::int64_t c, int cells) {
    return static_cast<int>(std::clamp<std::int64_t>(c, -1, cells));
}

}  // namespace

MapView::MapView(int mapWidth, int mapHeight, int windowWidth, int windowHeight)
    : mapW(mapWidth), mapH(mapHeight), winW(windowWidth), winH(windowHeight) {
    assert(mapWidth > 0 && mapHeight > 0);
    assert(windowWidth > 0 && windowHeight > 0);
    fitScale();
    clampView();
}

// The axis with fewer window pixels per cell decides the cell size; on a tie
// (a square map in a square window) it is the width, as it always was.
void MapView::fitScale() {
    if (std::int64_t{winW} * mapH <= std::int64_t{winH} * mapW) {
        scaleWindow = winW;
        scaleCells = mapW;
    } else {
        scaleWindow = winH;
        scaleCells = mapH;
    }
}

void MapView::resizeWindow(int windowWidth, int windowHeight) {
    assert(windowWidth > 0 && windowHeight > 0);
    // The map point at the old centre, in cells, goes to the new centre.
    const double perCell = cellPixels();
    const double centreX = (static_cast<double>(viewX) + winW / 2.0) / perCell;
    const double centreY = (static_cast<double>(viewY) + winH / 2.0) / perCell;
    winW = windowWidth;
    winH = windowHeight;
    fitScale();
    while (level > 0 && scalePixels() > std::int64_t{kMaxCellPixels} * scaleCells) --level;
    viewX = std::llround(centreX * cellPixels() - winW / 2.0);
    viewY = std::llround(centreY * cellPixels() - winH / 2.0);
    clampView();
}

bool MapView::canZoomIn() const {
    return scalePixels() * 2 <= std::int64_t{kMaxCellPixels} * scaleCells;
}

bool MapView::zoomIn(int px, int py) {
    if (!canZoomIn()) return false;
    px = std::clamp(px, 0, winW - 1);
    py = std::clamp(py, 0, winH - 1);
    // The canvas point under the pointer doubles and stays under it.
    viewX = viewX * 2 + px;
    viewY = viewY * 2 + py;
    ++level;
    clampView();
    return true;
}

bool MapView::zoomOut(int px, int py) {
    if (level == 0) return false;
    px = std::clamp(px, 0, winW - 1);
    py = std::clamp(py, 0, winH - 1);
    viewX = floorDiv(Wide{viewX} - px, 2);
    viewY = floorDiv(Wide{viewY} - py, 2);
    --level;
    clampView();
    return true;
}

bool MapView::pan(int dx, int dy) {
    return drag(-dx * (winW / 4), -dy * (winH / 4));
}

bool MapView::drag(int dx, int dy) {
    const MapView before = *this;
    viewX -= dx;
    viewY -= dy;
    clampView();
    return !(*this == before);
}

bool MapView::showWholeMap() {
    const MapView before = *this;
    level = 0;
    clampView();
    return !(*this == before);
}

void MapView::clampView() {
    clampView(mapW, winW, viewX);
    clampView(mapH, winH, viewY);
}

// A canvas no wider than the window is centred in it (the left-over pixel of
// an odd difference goes to the right); a wider one keeps the window on it.
void MapView::clampView(int cells, int pixels, std::int64_t& view) const {
    const Wide canvasUnits = Wide{cells} * scalePixels();  // canvas pixels times scaleCells
    const Wide windowUnits = Wide{pixels} * scaleCells;
    if (canvasUnits <= windowUnits) {
        view = -floorDiv(windowUnits - canvasUnits, Wide{2} * scaleCells);
    } else {
        view = std::clamp<std::int64_t>(view, 0, ceilDiv(canvasUnits, scaleCells) - pixels);
    }
}

double MapView::cellPixels() const {
    return static_cast<double>(scalePixels()) / scaleCells;
}

bool MapView::showsInsetTiles() const {
    return scalePixels() >= std::int64_t{kInsetMinPixels} * scaleCells;
}

bool MapView::mixesCells() const {
    return scalePixels() < scaleCells;
}

int MapView::overlayInset(int border) const {
    const std::int64_t wholePixels = scalePixels() / scaleCells;
    if (wholePixels >= kFullInsetPixels) return border;
    // The tile square is one pixel short of the cell; an inset b takes 2b
    // more. At least kMinObjectPixels are left with b = (cell - 4) / 2.
    const int fits =
        static_cast<int>(std::max<std::int64_t>(wholePixels - 1 - kMinObjectPixels, 0) / 2);
    return std::min(border, fits);
}

int MapView::cellAt(int cells, std::int64_t view, int p) const {
    return clampToRange(floorDiv((Wide{view} + p) * scaleCells, scalePixels()), cells);
}
int MapView::cellAtPixelCentre(int cells, std::int64_t view, int p) const {
    return clampToRange(floorDiv((2 * (Wide{view} + p) + 1) * scaleCells, 2 * Wide{scalePixels()}),
                        cells);
}

int MapView::cellAtX(int px) const {
    return cellAt(mapW, viewX, px);
}
int MapView::cellAtY(int py) const {
    return cellAt(mapH, viewY, py);
}
int MapView::cellAtPixelCentreX(int px) const {
    return cellAtPixelCentre(mapW, viewX, px);
}
int MapView::cellAtPixelCentreY(int py) const {
    return cellAtPixelCentre(mapH, viewY, py);
}

std::int64_t MapView::firstShareCell(std::int64_t view, int p) const {
    return floorDiv((Wide{view} + p) * scaleCells, scalePixels());
}

std::int64_t MapView::shareOfCell(int cells, std::int64_t view, int p, std::int64_t c) const {
    if (c < 0 || c >= cells) return 0;
    const Wide pixelStart = (Wide{view} + p) * scaleCells;
    const Wide cellStart = Wide{c} * scalePixels();
    const Wide overlap = std::min(pixelStart + scaleCells, cellStart + scalePixels()) -
                         std::max(pixelStart, cellStart);
    return overlap > 0 ? static_cast<std::int64_t>(overlap) : 0;
}

std::int64_t MapView::firstShareCellX(int px) const {
    return firstShareCell(viewX, px);
}
std::int64_t MapView::firstShareCellY(int py) const {
    return firstShareCell(viewY, py);
}
std::int64_t MapView::shareOfCellX(int px, std::int64_t c) const {
    return shareOfCell(mapW, viewX, px, c);
}
std::int64_t MapView::shareOfCellY(int py, std::int64_t c) const {
    return shareOfCell(mapH, viewY, py, c);
}

// The cell that holds the window's last pixel's far edge, less the cell that
// merely starts there.
int MapView::lastVisible(int cells, int pixels, std::int64_t view) const {
    return clampCell(
        static_cast<int>(std::clamp<std::int64_t>(
            floorDiv((Wide{view} + pixels) * scaleCells - 1, scalePixels()), -1, cells)),
        cells);
}
int MapView::lastVisibleX() const {
    return lastVisible(mapW, winW, viewX);
}
int MapView::lastVisibleY() const {
    return lastVisible(mapH, winH, viewY);
}

double MapView::edgeX(std::int64_t c) const {
    return static_cast<double>(c) * static_cast<double>(scalePixels()) / scaleCells -
           static_cast<double>(viewX);
}
double MapView::edgeY(std::int64_t c) const {
    return static_cast<double>(c) * static_cast<double>(scalePixels()) / scaleCells -
           static_cast<double>(viewY);
}

bool MapView::fillsWindowExactly() const {
    return std::int64_t{winW} * mapH == std::int64_t{winH} * mapW;
}

MapView::Rect MapView::cellRect(int x, int y, int border) const {
    if (level == 0 && fillsWindowExactly()) {
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
