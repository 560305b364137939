// battlesim's graphical run for real: a private Xvfb display, the window
// found and moved with xdotool, frames read back with ImageMagick's import.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "BattlesimOutput.h"

namespace {

const std::string TITLE = "Quorvane - Assignment Example App";

// A virtual X server of its own, on a display number it picks itself.
class Xvfb {
  public:
    Xvfb(int width, int height) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        server_ = std::make_unique<BackgroundProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     screen, "-nolisten", "tcp"},
            ProcessOptions{}, dir_.file("xvfb.out"), dir_.file("xvfb.err"), fds[1]);
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) {
            throw std::runtime_error("Xvfb did not start: " + read_file(dir_.file("xvfb.err")));
        }
        display_ = ":" + number;
    }
    ~Xvfb() { server_->stop(); }

    // Options that make a child draw on this display.
    ProcessOptions options(int timeout_ms = 20000) const {
        ProcessOptions o;
        o.env_set = {"DISPLAY=" + display_};
#if defined(__SANITIZE_ADDRESS__)
        // The GL driver keeps its allocations when the process exits from
        // inside the main loop; those are not the program's leaks.
        o.env_set.push_back("ASAN_OPTIONS=detect_leaks=0");
#endif
        o.timeout_ms = timeout_ms;
        return o;
    }

  private:
    TempDir dir_;
    std::unique_ptr<BackgroundProcess> server_;
    std::string display_;
};

struct Rgb {
    int r, g, b;
};

const Rgb RED_TEAM = {255, 102, 0};
const Rgb BLUE_TEAM = {0, 255, 255};
const Rgb ATTACK_LINE = {255, 255, 255};

struct Image {
    int width = 0;
    int height = 0;
    std::string rgb;

    Rgb at(int x, int y) const {
        const std::size_t i = 3 * (static_cast<std::size_t>(y) * width + x);
        return {static_cast<unsigned char>(rgb[i]), static_cast<unsigned char>(rgb[i + 1]),
                static_cast<unsigned char>(rgb[i + 2])};
    }
    // Pixels of colour c inside [x0, x1) x [y0, y1), allowing for rounding.
    int count(const Rgb& c, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const Rgb p = at(x, y);
                if (std::abs(p.r - c.r) <= 3 && std::abs(p.g - c.g) <= 3 &&
                    std::abs(p.b - c.b) <= 3) {
                    ++n;
                }
            }
        }
        return n;
    }
    int count(const Rgb& c) const { return count(c, 0, 0, width, height); }
};

// Binary PPM (P6, maxval 255) as import writes it.
Image parse_ppm(const std::string& data) {
    std::istringstream in(data);
    std::string magic;
    Image image;
    int maxval = 0;
    in >> magic >> image.width >> image.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255 || !in) throw std::runtime_error("not a P6 image");
    const std::size_t size = 3 * static_cast<std::size_t>(image.width) * image.height;
    image.rgb = data.substr(static_cast<std::size_t>(in.tellg()), size);
    if (image.rgb.size() != size) throw std::runtime_error("short image");
    return image;
}

Image screenshot(const Xvfb& x) {
    const ProcessResult r =
        run_process({"import", "-window", "root", "-depth", "8", "ppm:-"}, x.options());
    if (r.exit_status != 0) throw std::runtime_error("import failed: " + r.err);
    return parse_ppm(r.out);
}

struct Geometry {
    int x = -100, y = -100, width = 0, height = 0;
};

Geometry window_geometry(const Xvfb& x, const std::string& window) {
    const ProcessResult r =
        run_process({"xdotool", "getwindowgeometry", "--shell", window}, x.options());
    Geometry g;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") g.x = value;
        if (key == "Y") g.y = value;
        if (key == "WIDTH") g.width = value;
        if (key == "HEIGHT") g.height = value;
    }
    return g;
}

// Waits for battlesim's window and moves it from freeglut's (-1, -1) to the
// screen's corner, so that window pixel (x, y) is screen pixel (x, y).
Geometry find_and_place_window(const Xvfb& x) {
    const ProcessResult found =
        run_process({"xdotool", "search", "--sync", "--name", "^" + TITLE + "$"}, x.options(10000));
    const std::string window = found.out.substr(0, found.out.find('\n'));
    if (window.empty()) return {};
    run_process({"xdotool", "windowmove", window, "0", "0"}, x.options());
    Geometry g;
    for (int i = 0; i < 100; ++i) {
        g = window_geometry(x, window);
        if (g.x == 0 && g.y == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return g;
}

std::vector<std::string> with_program(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {battlesim()};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

// The settings of a small graphical battle; gfx and delay are filled in.
std::vector<std::string> small_battle(const std::string& delay, const std::string& gfx) {
    return {"200", "200", delay, "1", "1", "2", "0", "1", "1", gfx};
}

Echo echo_of_small_battle(const std::string& delay, const std::string& gfx) {
    return Echo{"200", "200", delay, "1", "1", "2", "attack-weakest", "attack-closest", "1", gfx};
}

// What the batch run of the same battle reports.
BatchEnd batch_result(const std::string& delay) {
    const ProcessResult r = run_battlesim(small_battle(delay, "0"));
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(echo_part(r.out), echo_of_small_battle(delay, "0").text());
    const BatchEnd end = parse_batch_end(after_echo(r.out));
    EXPECT_GT(end.steps, 0);
    return end;
}

TEST(BattlesimWindow, DrawsTheBattleAndEndsWithTheBatchResult) {
    const std::string delay = "100";
    const BatchEnd batch = batch_result(delay);
    ASSERT_GE(batch.steps, 12) << "the battle must last long enough to be watched";

    const int screen_w = 320;
    const int screen_h = 240;
    Xvfb x(screen_w, screen_h);
    TempDir dir;
    BackgroundProcess sim(with_program(small_battle(delay, "1")), x.options(), dir.file("out"),
                          dir.file("err"));

    const Geometry g = find_and_place_window(x);
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 0);
    EXPECT_EQ(g.width, 200);
    EXPECT_EQ(g.height, 200);

    int red = 0, blue = 0, lines = 0, outside = 0, shots = 0;
    while (sim.running() && (red == 0 || blue == 0 || lines == 0)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const Image shot = screenshot(x);
        ASSERT_EQ(shot.width, screen_w);
        ASSERT_EQ(shot.height, screen_h);
        ++shots;
        red = std::max(red, shot.count(RED_TEAM, 0, 0, 200, 200));
        blue = std::max(blue, shot.count(BLUE_TEAM, 0, 0, 200, 200));
        lines = std::max(lines, shot.count(ATTACK_LINE, 0, 0, 200, 200));
        // Nothing is drawn beyond the 200 x 200 window.
        for (const Rgb& c : {RED_TEAM, BLUE_TEAM, ATTACK_LINE}) {
            outside += shot.count(c) - shot.count(c, 0, 0, 200, 200);
        }
    }
    EXPECT_GT(red, 50) << "no red circles in " << shots << " screenshots";
    EXPECT_GT(blue, 50) << "no blue circles in " << shots << " screenshots";
    EXPECT_GT(lines, 5) << "no attack lines in " << shots << " screenshots";
    EXPECT_EQ(outside, 0);

    ASSERT_TRUE(sim.wait_for_exit(static_cast<int>(batch.steps) * 100 + 10000));
    EXPECT_EQ(sim.exit_status(), 0);
    EXPECT_EQ(read_file(dir.file("err")), "");
    EXPECT_EQ(read_file(dir.file("out")), echo_of_small_battle(delay, "1").text() +
                                              std::string(batch.steps, '.') +
                                              "game over: " + batch.result + "\n");
}

TEST(BattlesimWindow, ANegativeDelayRunsTheStepsWithoutPause) {
    // The timer's delay is unsigned: taken as it is, -100 would put the second
    // step seven weeks away.
    const BatchEnd batch = batch_result("-100");
    Xvfb x(320, 240);
    TempDir dir;
    BackgroundProcess sim(with_program(small_battle("-100", "1")), x.options(), dir.file("out"),
                          dir.file("err"));
    ASSERT_TRUE(sim.wait_for_exit(15000)) << read_file(dir.file("out"));
    EXPECT_EQ(sim.exit_status(), 0);
    EXPECT_EQ(read_file(dir.file("out")), echo_of_small_battle("-100", "1").text() +
                                              std::string(batch.steps, '.') +
                                              "game over: " + batch.result + "\n");
}

TEST(BattlesimWindow, WithoutUnitsTheFirstTickReportsADraw) {
    Xvfb x(320, 240);
    const ProcessResult r =
        run_battlesim({"200", "100", "100", "3", "0", "0", "2", "2", "1", "1"}, x.options());
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, (Echo{"200", "100", "100", "3", "0", "0", "attack-most-dangerous",
                           "attack-most-dangerous", "1", "1"}
                          .text()) +
                         ".game over: draw\n");
}

TEST(BattlesimWindow, NoArgumentsOpenTheDefaultBattleIn700By700Pixels) {
    Xvfb x(720, 720);
    TempDir dir;
    BackgroundProcess sim({battlesim()}, x.options(), dir.file("out"), dir.file("err"));
    const Geometry g = find_and_place_window(x);
    EXPECT_EQ(g.width, 700);
    EXPECT_EQ(g.height, 700);
    const Image shot = screenshot(x);
    // 200 circles per team.
    EXPECT_GT(shot.count(RED_TEAM, 0, 0, 700, 700), 2000);
    EXPECT_GT(shot.count(BLUE_TEAM, 0, 0, 700, 700), 2000);
    EXPECT_TRUE(sim.running());
    sim.stop();
    const std::string out = read_file(dir.file("out"));
    const std::string seed = echo_value(out, "seed:" + EN_QUAD);
    EXPECT_EQ(echo_part(out), (Echo{"700", "700", "100", seed, "100", "100",
                                    "attack-most-dangerous", "attack-most-dangerous", "1", "1"}
                                   .text()));
}

}  // namespace
