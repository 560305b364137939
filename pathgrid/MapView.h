#pragma once

#include <cstdint>

// Which part of the map the window shows, and the arithmetic between window
// pixels and map cells. Needs no GL, so it is unit-tested on its own.
//
// "The window" here is the map's part of it: the window less the info band's
// rows below, when the band is shown. Cells are square. At zoom level 0 the
// whole map fits the window: a cell is S / M pixels, with S / M the smaller of
// windowWidth / mapWidth and windowHeight / mapHeight, and the map is centred
// along the other axis with black beside it. At level k a cell is (S << k) / M
// pixels, and the map is laid over a canvas of mapWidth x mapHeight such
// cells; `viewX`, `viewY` is the canvas pixel at the window's top-left corner,
// negative along an axis where the canvas is narrower than the window and is
// centred in it. The mapping is integer arithmetic throughout, so for a square
// map in a square window at level 0 pointer pixel x maps to cell
// (x * w) / W exactly as it always did.
class MapView {
  public:
    // Cells at least this many pixels a side are drawn as inset squares with
    // grid lines; smaller ones edge to edge in one composed picture.
    static constexpr int kInsetMinPixels = 4;
    // From this many pixels a side the overlay insets are the ones asked for;
    // below it they shrink (see overlayInset).
    static constexpr int kFullInsetPixels = 8;
    // Zooming in stops before a cell would grow past this many pixels.
    static constexpr int kMaxCellPixels = 64;
    // Overlay objects never shrink below this many pixels a side.
    static constexpr int kMinObjectPixels = 3;

    MapView(int mapWidth, int mapHeight, int windowWidth, int windowHeight);

    // Keeps the zoom level (as far as kMaxCellPixels allows) and the map
    // point at the window's centre.
    void resizeWindow(int windowWidth, int windowHeight);
    // Twice (half) the magnification, keeping the map point under the pointer
    // pixel (px, py) in place as far as the map's edges allow; along an axis
    // where the map is narrower than the window it stays centred. False, and
    // no change, at the limits.
    bool zoomIn(int px, int py);
    bool zoomOut(int px, int py);
    // Moves the view by a quarter of its width (height) per step in the
    // direction of dx (dy), -1, 0 or 1, stopping at the map's edges.
    bool pan(int dx, int dy);
    // Moves the map by (dx, dy) window pixels, as a drag does, stopping at the
    // map's edges. False when nothing moved.
    bool drag(int dx, int dy);
    // Back to the whole map.
    bool showWholeMap();

    int mapWidth() const { return mapW; }
    int mapHeight() const { return mapH; }
    int windowWidth() const { return winW; }
    int windowHeight() const { return winH; }
    int zoomLevel() const { return level; }
    bool isWholeMap() const { return level == 0; }
    // Pixels a cell is wide and high on screen.
    double cellPixels() const;
    // Cells big enough for the inset squares and grid lines.
    bool showsInsetTiles() const;
    // Cells smaller than a pixel: a pixel of the composed picture covers
    // parts of several cells and shows their share-weighted mix.
    bool mixesCells() const;
    // The inset that an overlay square asking for `border` pixels gets: the
    // same from kFullInsetPixels a cell on, else shrunk so that the square
    // keeps at least kMinObjectPixels a side inside the cell's tile square.
    // Only for inset tiles.
    int overlayInset(int border) const;

    // The column (row) under window pixel coordinate px (py); the pointer may
    // lie outside the window or beside a centred map, so the result may lie
    // outside the map too. It is kept within [-1, width] ([-1, height]).
    int cellAtX(int px) const;
    int cellAtY(int py) const;
    // The column (row) under the centre of window pixel px (py), which may lie
    // outside the map near its edges.
    int cellAtPixelCentreX(int px) const;
    int cellAtPixelCentreY(int py) const;

    // The part of each cell that a window pixel covers, for composing the
    // picture of cells smaller than a pixel: pixel p spans the cell
    // coordinates [p * M, (p + 1) * M) / D with D = shareDenominator(), M =
    // sharesPerPixel(), and cell c spans [c * D, (c + 1) * D) of those units.
    // firstShareCellX(px) is the first cell the pixel touches, and
    // shareOfCellX(px, c) how many of the pixel's M units cell c covers (0
    // for cells beyond the map, which show black).
    std::int64_t sharesPerPixel() const { return scaleCells; }
    std::int64_t shareDenominator() const { return scalePixels(); }
    std::int64_t firstShareCellX(int px) const;
    std::int64_t firstShareCellY(int py) const;
    std::int64_t shareOfCellX(int px, std::int64_t c) const;
    std::int64_t shareOfCellY(int py, std::int64_t c) const;

    // A rectangle in the drawing's coordinates: the window spans [0, 1] on each
    // axis, y growing downwards.
    struct Rect {
        float x0, y0, x1, y1;
    };
    // Cell (x, y) inset by `border` pixels at its left and top and border + 1
    // at its right and bottom. At the whole-map view of a map that fills the
    // window the single-precision arithmetic is the one the picture has
    // always been drawn with, so its pixels stay the same.
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
    std::int64_t scalePixels() const { return std::int64_t{scaleWindow} << level; }
    bool canZoomIn() const;
    void fitScale();
    void clampView();
    void clampView(int cells, int pixels, std::int64_t& view) const;
    int cellAt(int cells, std::int64_t view, int p) const;
    int cellAtPixelCentre(int cells, std::int64_t view, int p) const;
    std::int64_t firstShareCell(std::int64_t view, int p) const;
    std::int64_t shareOfCell(int cells, std::int64_t view, int p, std::int64_t c) const;
    int lastVisible(int cells, int pixels, std::int64_t view) const;
    static int clampCell(int c, int cells) { return c < 0 ? 0 : c >= cells ? cells - 1 : c; }
    // Left (top) edge of cell c in window pixels.
    double edgeX(std::int64_t c) const;
    double edgeY(std::int64_t c) const;
    // The level-0 arithmetic of a map that fills the window exactly.
    bool fillsWindowExactly() const;

    int mapW, mapH;
    int winW, winH;
    // A cell is (scaleWindow << level) / scaleCells pixels: the window side
    // and the map side of the axis that limits the whole-map view.
    int scaleWindow = 1, scaleCells = 1;
    int level = 0;
    std::int64_t viewX = 0, viewY = 0;
};
