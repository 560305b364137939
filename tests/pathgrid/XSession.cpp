#include "XSession.h"

#include <X11/Xlib.h>
#include <cassert>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

Rgb Screenshot::at(int x, int y) const {
    assert(x >= 0 && x < width && y >= 0 && y < height);
    const unsigned char* p =
        reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * (std::size_t(y) * width + x);
    return Rgb{p[0], p[1], p[2]};
}

XSession::XSession(int screenWidth, int screenHeight) : width(screenWidth), height(screenHeight) {
    // Other X servers on this machine may come and go meanwhile; retry when the
    // display we were given does not answer as ours.
    for (int attempt = 0; attempt < 3 && display.empty(); ++attempt) {
        if (!startServer()) stopServer();
    }
}

bool XSession::startServer() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    try {
        server = std::make_unique<BackgroundProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     screen, "-nolisten", "tcp", "-noreset"},
            ProcessOptions{}, "/dev/null", "/dev/null", fds[1]);
    } catch (const std::exception&) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    close(fds[1]);
    // The server writes its display number once it accepts clients.
    std::string number;
    pollfd pfd{fds[0], POLLIN, 0};
    while (poll(&pfd, 1, 10000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) return false;
    display = ":" + number;
    if (answersAsOurs()) return true;
    display.clear();
    return false;
}

// A client can connect and sees a screen of the size this server was given.
bool XSession::answersAsOurs() const {
    Display* dpy = nullptr;
    for (int tries = 0; tries < 20 && !dpy; ++tries) {
        dpy = XOpenDisplay(display.c_str());
        if (!dpy) usleep(50000);
    }
    if (!dpy) return false;
    const bool ours = DisplayWidth(dpy, 0) == width && DisplayHeight(dpy, 0) == height;
    XCloseDisplay(dpy);
    return ours;
}

void XSession::stopServer() {
    if (server) server->stop();
    server.reset();
}

XSession::~XSession() {
    stopServer();
}

ProcessOptions XSession::clientOptions() const {
    ProcessOptions options;
    options.env_set = {displayEnv()};
    options.timeout_ms = 10000;
    return options;
}

bool XSession::xdotool(const std::vector<std::string>& args, std::string* out) const {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProcessResult r = run_process(argv, clientOptions());
    if (out) *out = r.out;
    return r.exit_status == 0;
}

Screenshot XSession::screenshot() const {
    const ProcessResult r =
        run_process({"import", "-window", "root", "-depth", "8", "rgb:-"}, clientOptions());
    Screenshot shot;
    shot.width = width;
    shot.height = height;
    shot.rgb = r.exit_status == 0 ? r.out : std::string();
    return shot;
}

bool XSession::requestClose(unsigned long window) const {
    Display* dpy = XOpenDisplay(display.c_str());
    if (!dpy) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(dpy, window, False, NoEventMask, &event);
    XSync(dpy, False);
    XCloseDisplay(dpy);
    return sent != 0;
}
