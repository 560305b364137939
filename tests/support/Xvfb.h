#pragma once

// A private X server for the window tests, with the few things they do on it:
// run xdotool, find and place a window, read the screen back.

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Process.h"

struct Rgb {
    int r, g, b;
    // Equal up to `tolerance` per channel (the renderer may round).
    bool near(const Rgb& o, int tolerance = 3) const {
        return std::abs(r - o.r) <= tolerance && std::abs(g - o.g) <= tolerance &&
               std::abs(b - o.b) <= tolerance;
    }
};

struct Image {
    int width = 0;
    std::string rgb;  // three bytes per pixel, rows from the top

    Rgb at(int x, int y) const {
        const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * (y * width + x);
        return {p[0], p[1], p[2]};
    }
    // Pixels near colour c inside [x0, x1) x [y0, y1).
    int count(const Rgb& c, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += at(x, y).near(c);
        return n;
    }
};

class Xvfb {
  public:
    // Throws when no server could be started.
    Xvfb(int width, int height);
    ~Xvfb();  // with the owned server, no copies and no moves either

    // Options that make a child draw on this display.
    ProcessOptions options(int timeout_ms = 20000) const;
    // Runs xdotool with `args`; its output when it succeeded, else throws.
    std::string xdotool(const std::vector<std::string>& args) const;
    Image screenshot() const;

    // Waits for a window with this exact title and moves it to (0, 0): without
    // a window manager freeglut puts it at (-1, -1). Returns its id.
    std::string place_window(const std::string& title) const;
    // Width and height of a window.
    std::pair<int, int> window_size(const std::string& window) const;
    // Asks a window to close, as a window manager's close button does.
    void request_close(const std::string& window) const;

  private:
    int width_;
    std::string display_;
    std::unique_ptr<BackgroundProcess> server_;
};
