#pragma once

#include <cstdint>

// Which part of the map the window shows, and the arithmetic between window
// pixels and map cells. Needs no GL, so it is unit-tested on its own.
//
// At zoom level k the whole map is laid over a canvas of (window size) x 2^k
// pixels; the window shows the window-sized part of that canvas whose top-left
// corner is `originX`, `originY` canvas pixels from the map's corner. The
// mapping is integer arithmetic throughout, so at level 0 a pointer pixel x
// maps to cell (x * w) / W exactly as it always did.
class MapView {
  public:
    // Cells at least this many pixels on each axis are drawn as inset squares
    // with grid lines; smaller ones edge to edge, one sample per pixel.
    static constexpr int kInsetMinPixels = 4;
    // Zooming in stops before a cell would grow past this many pixels.
    static constexpr int kMaxCellPixels = 64;
    // Overlay objects never shrink below this many pixels a side.
    static constexpr int kMinObjectPixels = 3;

    MapView(int mapWidth, int mapHeight, int windowWidth, int windowHeight);

    // Keeps the zoom level and the map point at the window's centre.
    void resizeWindow(int windowWidth, int windowHeight);
    // Twice (half) the magnification, keeping the map point under the pointer
    // pixel (px, py) in place as far as the map's edges allow. False, and no
    // change, at the limits.
    bool zoomIn(int px, int py);
    bool zoomOut(int px, int py);
    // Moves the view by a quarter of its width (height) per step in the
    // direction of dx (dy), -1, 0 or 1, stopping at the map's edges.
    bool pan(int dx, int dy);
    // Back to the whole map.
    bool showWholeMap();

    int mapWidth() const { return mapW; }
    int mapHeight() const { return mapH; }
    int windowWidth() const { return winW; }
    int windowHeight() const { return winH; }
    int zoomLevel() const { return level; }
    bool isWholeMap() const { return level == 0; }
    // Pixels a cell is wide (high) on screen.
    double cellPixelsX() const;
    double cellPixelsY() const;
    // Cells big enough for the inset squares and grid lines.
    bool showsInsetTiles() const;

    // The column (row) under window pixel coordinate px (py); the pointer may
    // lie outside the window, so the result may lie outside the map too. It is
    // kept within [-1, width] ([-1, height]).
    int cellAtX(int px) const;
    int cellAtY(int py) const;
    // The column (row) under the centre of window pixel px (py), which may lie
    // outside the map near its edges.
    int cellAtPixelCentreX(int px) const;
    int cellAtPixelCentreY(int py) const;

    // A rectangle in the drawing's coordinates: the window spans [0, 1] on each
    // axis, y growing downwards.
    struct Rect {
        float x0, y0, x1, y1;
    };
    // Cell (x, y) inset by `border` pixels at its left and top and border + 1
    // at its right and bottom. At the whole-map view the single-precision
    // arithmetic is the one the picture has always been drawn with, so its
    // pixels stay the same.
    Rect cellRect(int x, int y, int border) const;
    // The footprint of an object of `size` at (x, y) edge to edge, grown about
    // its centre to at least kMinObjectPixels on each axis; used when cells
    // are too small for inset squares.
    Rect objectRect(int x, int y, int size) const;

    // The cells that are at least partly visible: [first, last] on each axis.
    int firstVisibleX() const { return clampCell(cellAtX(0), mapW); }
    int lastVisibleX() const;
    int firstVisibleY() const { return clampCell(cellAtY(0), mapH); }
    int lastVisibleY() const;

    bool operator==(const MapView&) const = default;

  private:
    std::int64_t canvasWidth() const { return std::int64_t{winW} << level; }
    std::int64_t canvasHeight() const { return std::int64_t{winH} << level; }
    bool canZoomIn() const;
    void clampOrigin();
    static int clampCell(int c, int cells) { return c < 0 ? 0 : c >= cells ? cells - 1 : c; }
    // Left (top) edge of cell c in window pixels.
    double edgeX(std::int64_t c) const;
    double edgeY(std::int64_t c) const;

    int mapW, mapH;
    int winW, winH;
    int level = 0;
    std::int64_t originX = 0, originY = 0;
};
