#include "ViewerSession.h"

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

const Rgb kGroundColor{0, 128, 0};
const Rgb kWaterColor{0, 0, 128};
const Rgb kBlockedColor{64, 64, 64};
const Rgb kWhite{255, 255, 255};
const Rgb kYellow{255, 255, 0};
const Rgb kRed{255, 0, 0};
const Rgb kBlack{0, 0, 0};

namespace {

constexpr const char* kTitle = "^Quorvane - Assignment Example App$";

// Rounding of 0.5 and 0.25 to bytes may differ by one between renderers.
bool near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

std::string text(Rgb c) {
    return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Differences between `shot` and `view`, at most a few, one per line.
std::string compare(const Screenshot& shot, const ExpectedView& view, int cellPx) {
    if (!shot.valid()) return "no screenshot\n";
    std::ostringstream diff;
    int count = 0;
    auto check = [&](int cx, int cy, int px, int py, Rgb want, const char* what) {
        const Rgb got = shot.at(px, py);
        if (near(got, want)) return;
        if (++count <= 8) {
            diff << "cell (" << cx << "," << cy << ") " << what << " at pixel (" << px << "," << py
                 << "): got " << text(got) << ", want " << text(want) << '\n';
        }
    };
    for (int cy = 0; cy < view.height(); ++cy) {
        for (int cx = 0; cx < view.width(); ++cx) {
            const CellLook& look = view.at(cx, cy);
            const int left = cx * cellPx, top = cy * cellPx, mid = cellPx / 2;
            check(cx, cy, left + mid, top + mid, look.overlay ? look.color : look.tile, "centre");
            check(cx, cy, left + cellPx - 1, top + mid, kBlack, "right grid line");
            check(cx, cy, left + mid, top + cellPx - 1, kBlack, "bottom grid line");
            if (look.overlay) {
                // The square's first and last pixels, and the tile just outside them.
                const int first = look.inset, last = cellPx - look.inset - 2;
                check(cx, cy, left + first, top + mid, look.color, "overlay left edge");
                check(cx, cy, left + last, top + mid, look.color, "overlay right edge");
                check(cx, cy, left + mid, top + first, look.color, "overlay top edge");
                check(cx, cy, left + mid, top + last, look.color, "overlay bottom edge");
                check(cx, cy, left + first - 1, top + mid, look.tile, "tile left of overlay");
                check(cx, cy, left + last + 1, top + mid, look.tile, "tile right of overlay");
            }
        }
    }
    if (count > 8) diff << "... " << count - 8 << " more\n";
    return diff.str();
}

}  // namespace

ExpectedView::ExpectedView(const MapRows& rows)
    : w(int(rows[0].size())), h(int(rows.size())), cells(std::size_t(w) * h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const char c = rows[y][x];
            cells[std::size_t(y) * w + x].tile = c == '~'   ? kWaterColor
                                                 : c == '#' ? kBlockedColor
                                                            : kGroundColor;
        }
    }
}

void ExpectedView::paintBlock(int x, int y, int size, int inset, Rgb color) {
    for (int i = 0; i <= size; ++i) {
        for (int j = 0; j <= size; ++j) {
            CellLook& look = cells[std::size_t(y + i) * w + x + j];
            look.overlay = true;
            look.color = color;
            look.inset = inset;
        }
    }
}

// An odd screen size tells our server from any other one on the machine.
ViewerSession::ViewerSession() : xs(706, 694) {}

bool ViewerSession::start(const MapRows& rows, const std::vector<std::string>& args) {
    if (!writeBytes(tmp.file("map.bmp"), encodeBitmap(imageFromRows(rows)))) return false;
    setLayout(640, int(rows[0].size()));
    return startIn(tmp.path(), args);
}

bool ViewerSession::startIn(const std::string& cwd, const std::vector<std::string>& args) {
    if (!xs.ok()) return false;
    std::vector<std::string> argv{PATHGRID_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_dir = cwd;
    options.env_set = {xs.displayEnv()};
    viewer = std::make_unique<BackgroundProcess>(argv, options, logs.file("out"), logs.file("err"));
    std::string found;
    for (int tries = 0; tries < 200 && found.empty(); ++tries) {
        if (!viewer->running()) return false;
        if (!xs.xdotool({"search", "--onlyvisible", "--name", kTitle}, &found)) sleepMs(25);
    }
    if (found.empty()) return false;
    windowId = std::stoul(found);
    // Without a window manager the window starts at (-1, -1).
    return xs.xdotool({"windowmove", "--sync", std::to_string(windowId), "0", "0"});
}

void ViewerSession::setLayout(int windowPixels, int mapCells) {
    windowPx = windowPixels;
    cells = mapCells;
}

bool ViewerSession::pointTo(int cx, int cy) {
    const int c = cellPixels();
    return xs.xdotool(
        {"mousemove", std::to_string(cx * c + c / 2), std::to_string(cy * c + c / 2)});
}

std::string ViewerSession::awaitView(const ExpectedView& view, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string diff;
    do {
        diff = compare(xs.screenshot(), view, cellPixels());
        if (diff.empty()) return diff;
        sleepMs(30);
    } while (std::chrono::steady_clock::now() < deadline);
    return diff;
}

ProcessResult ViewerSession::waitForExit(int timeoutMs) {
    ProcessResult r = viewer->finish(timeoutMs);
    viewer.reset();
    return r;
}
