// The X display, opened before the window: the window library aborts when
// it cannot open one, without a word.
#include "app/Display.hpp"

#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

// Xlib prints a server's refusal to standard error itself; it goes to a pipe
// instead, so the game says one line of its own.
Display* openQuietly(std::string& said, int& reason) {
    const int console = ::dup(STDERR_FILENO);
    int pipe[2];
    const bool captured = console >= 0 && ::pipe2(pipe, O_NONBLOCK | O_CLOEXEC) == 0;
    if (captured)
        ::dup2(pipe[1], STDERR_FILENO);
    errno = 0;
    Display* const display = XOpenDisplay(nullptr);
    reason = errno;
    if (captured) {
        ::dup2(console, STDERR_FILENO);
        char text[256];
        const ssize_t n = ::read(pipe[0], text, sizeof text);
        said.assign(text, n > 0 ? static_cast<std::size_t>(n) : 0);
        ::close(pipe[0]);
        ::close(pipe[1]);
    }
    if (console >= 0)
        ::close(console);
    return display;
}

std::string reasonFrom(const std::string& said, int reason) {
    const std::size_t start = said.find_first_not_of(" \t\r\n");
    if (start != std::string::npos)
        return said.substr(start, said.find_first_of("\r\n", start) - start);
    if (reason == 0 || reason == ENOENT || reason == ECONNREFUSED)
        return "no X server accepted the connection";
    return std::strerror(reason);
}

}  // namespace

DisplayConnection::DisplayConnection() {
    const char* const name = std::getenv("DISPLAY");
    if (!name || !*name) {
        problem_ = "cannot open a display: DISPLAY is not set";
        return;
    }
    std::string said;
    int reason = 0;
    // A server refuses connections for a moment while it resets.
    for (int attempt = 0; attempt < 6 && !handle_; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        handle_ = openQuietly(said, reason);
    }
    if (!handle_)
        problem_ = std::string("cannot open display \"") + name + "\": " + reasonFrom(said, reason);
}

DisplayConnection::~DisplayConnection() {
    if (handle_)
        XCloseDisplay(static_cast<Display*>(handle_));
}
