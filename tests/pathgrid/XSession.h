#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Process.h"

struct Rgb {
    int r, g, b;
};

// The whole screen as read back by ImageMagick's import.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::string rgb;  // three bytes per pixel, rows from the top

    bool valid() const { return rgb.size() == 3u * width * height; }
    Rgb at(int x, int y) const;
};

// A private X server (Xvfb, display number chosen by the server itself) for
// one test; killed and reaped on destruction.
class XSession {
  public:
    XSession(int screenWidth, int screenHeight);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool ok() const { return !display.empty(); }
    // "DISPLAY=:n", for the environment of the programs run on this server.
    std::string displayEnv() const { return "DISPLAY=" + display; }

    // Runs xdotool with `args`; true when it succeeded. Its output goes to `out`.
    bool xdotool(const std::vector<std::string>& args, std::string* out = nullptr) const;
    Screenshot screenshot() const;
    // Asks the window to close the way a window manager's close button does.
    bool requestClose(unsigned long window) const;

  private:
    bool startServer();
    bool answersAsOurs() const;
    void stopServer();

    // Options for the clients run on this server.
    ProcessOptions clientOptions() const;

    std::unique_ptr<BackgroundProcess> server;
    int width;
    int height;
    std::string display;
};
