#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Process.h"
#include "TestSupport.h"
#include "XSession.h"

// What one cell of the window should show: its tile colour, and on top of it
// an overlay square with the given inset, if any.
struct CellLook {
    Rgb tile{0, 0, 0};
    bool overlay = false;
    Rgb color{0, 0, 0};
    int inset = 0;
};

// The expected picture of the whole map, cell by cell.
class ExpectedView {
  public:
    explicit ExpectedView(const MapRows& rows);
    int width() const { return w; }
    int height() const { return h; }
    const CellLook& at(int x, int y) const { return cells[std::size_t(y) * w + x]; }
    // An object of `size` at top-left cell (x, y): each of its cells gets the square.
    void paintBlock(int x, int y, int size, int inset, Rgb color);

  private:
    int w;
    int h;
    std::vector<CellLook> cells;
};

extern const Rgb kGroundColor, kWaterColor, kBlockedColor, kWhite, kYellow, kRed, kBlack;

// The pathgrid program on its own X server, with its window moved to (0, 0).
class ViewerSession {
  public:
    ViewerSession();
    // Writes `rows` as map.bmp into a fresh directory and starts the viewer
    // there with `args`; false when no window appeared.
    bool start(const MapRows& rows, const std::vector<std::string>& args = {});
    // Starts the viewer in `cwd` with `args` (the map already in place).
    bool startIn(const std::string& cwd, const std::vector<std::string>& args);

    XSession& x() { return xs; }
    const TempDir& dir() const { return tmp; }
    unsigned long window() const { return windowId; }

    // Window size in pixels and map size in cells, for the pointer mapping.
    void setLayout(int windowPixels, int mapCells);
    int cellPixels() const { return windowPx / cells; }
    // Moves the pointer to the centre of cell (cx, cy).
    bool pointTo(int cx, int cy);
    bool xdotool(const std::vector<std::string>& args) { return xs.xdotool(args); }

    // Takes screenshots until the window shows `view` (at most `timeoutMs`);
    // the empty result means it did, else it lists the differences seen last.
    std::string awaitView(const ExpectedView& view, int timeoutMs = 5000);
    ProcessResult waitForExit(int timeoutMs = 5000);

  private:
    XSession xs;
    TempDir tmp;
    // The viewer's standard output and error, kept apart from its working directory.
    TempDir logs;
    std::unique_ptr<BackgroundProcess> viewer;
    unsigned long windowId = 0;
    int windowPx = 640;
    int cells = 16;
};
