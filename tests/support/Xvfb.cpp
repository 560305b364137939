#include "Xvfb.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

Xvfb::Xvfb(int width, int height) : width_(width) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    server_ = std::make_unique<BackgroundProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 screen, "-nolisten", "tcp", "-noreset"},
        ProcessOptions{}, "/dev/null", "/dev/null", fds[1]);
    close(fds[1]);
    // The server writes its display number once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start");
    display_ = ":" + number;
}

Xvfb::~Xvfb() {
    server_->stop();
}

ProcessOptions Xvfb::options(int timeout_ms) const {
    ProcessOptions o;
    o.env_set = {"DISPLAY=" + display_};
    o.timeout_ms = timeout_ms;
    return o;
}

std::string Xvfb::xdotool(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProcessResult r = run_process(argv, options());
    if (r.exit_status != 0) throw std::runtime_error("xdotool failed: " + r.err);
    return r.out;
}

Image Xvfb::screenshot() const {
    const ProcessResult r =
        run_process({"import", "-window", "root", "-depth", "8", "rgb:-"}, options());
    if (r.exit_status != 0) throw std::runtime_error("import failed: " + r.err);
    return {width_, r.out};
}

std::string Xvfb::place_window(const std::string& title) const {
    const std::string found = xdotool({"search", "--sync", "--name", "^" + title + "$"});
    const std::string window = found.substr(0, found.find('\n'));
    xdotool({"windowmove", "--sync", window, "0", "0"});
    return window;
}

std::pair<int, int> Xvfb::window_size(const std::string& window) const {
    const std::string shell = xdotool({"getwindowgeometry", "--shell", window});
    const auto value = [&](const std::string& name) {
        return std::stoi(shell.substr(shell.find("\n" + name + "=") + name.size() + 2));
    };
    return {value("WIDTH"), value("HEIGHT")};
}

// A window may be gone by the time the request reaches the server; Xlib's
// default handler would then end the whole test process.
static int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

void Xvfb::request_close(const std::string& window) const {
    Display* dpy = XOpenDisplay(display_.c_str());
    if (!dpy) throw std::runtime_error("cannot open " + display_);
    const auto previousHandler = XSetErrorHandler(ignoreXError);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(window);
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, event.xclient.window, False, NoEventMask, &event);
    XSync(dpy, False);
    XCloseDisplay(dpy);
    XSetErrorHandler(previousHandler);
}
