// X window managers that follow the desktop conventions publish the work
// area on the root window and tell a window not yet shown the frame it will
// get, when asked.
#include "app/WorkArea.hpp"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <vector>

namespace {

// Where the window manager does not tell its frame: room for a title bar of
// a common height. Side borders are a few pixels at most, and those past a
// screen's edge hide nothing the player needs.
const sf::Vector2u kAssumedFrame(0, 40);
// How long a window manager gets to answer before that guess stands.
constexpr std::chrono::milliseconds kFrameAnswerTime{250};

// A stale window named on the root window must not end the game.
int ignoreError(Display*, XErrorEvent*) { return 0; }

// A property of 32-bit items; empty when it is missing or of another kind.
std::vector<long> longs(Display* display, Window window, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (atom != None && XGetWindowProperty(display, window, atom, 0, 4096, False, AnyPropertyType, &type, &format,
                                           &count, &left, &data) == Success && data && format == 32) {
        const long* first = reinterpret_cast<const long*>(data);
        values.assign(first, first + count);
    }
    if (data)
        XFree(data);
    return values;
}

// A window manager runs when the window it names on the root names itself.
bool windowManagerRuns(Display* display, Window root) {
    const std::vector<long> check = longs(display, root, "_NET_SUPPORTING_WM_CHECK");
    return check.size() == 1 && longs(display, static_cast<Window>(check[0]), "_NET_SUPPORTING_WM_CHECK") == check;
}

bool supports(Display* display, Window root, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    const std::vector<long> supported = longs(display, root, "_NET_SUPPORTED");
    return atom != None && std::find(supported.begin(), supported.end(), static_cast<long>(atom)) != supported.end();
}

// The current desktop's work area, kept within the screen: several monitors
// share one root window.
void readWorkArea(Display* display, Window root, WorkArea& area) {
    const std::vector<long> current = longs(display, root, "_NET_CURRENT_DESKTOP");
    const std::size_t at = current.size() == 1 && current[0] > 0 ? 4 * static_cast<std::size_t>(current[0]) : 0;
    const std::vector<long> work = longs(display, root, "_NET_WORKAREA");
    if (work.size() < at + 4)
        return;
    const long left = std::max(0L, work[at]), top = std::max(0L, work[at + 1]);
    const long right = std::min(work[at] + work[at + 2], static_cast<long>(area.size.x));
    const long bottom = std::min(work[at + 1] + work[at + 3], static_cast<long>(area.size.y));
    if (right <= left || bottom <= top)
        return;
    area.corner = {static_cast<int>(left), static_cast<int>(top)};
    area.size = {static_cast<unsigned>(right - left), static_cast<unsigned>(bottom - top)};
}

// The frame asked for a window of the game's size that is never shown.
sf::Vector2u askFrame(Display* display, Window root) {
    const Window probe = XCreateSimpleWindow(display, root, 0, 0, kLogicalWidth, kLogicalHeight, 0, 0, 0);
    XSelectInput(display, probe, PropertyChangeMask);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = probe;
    request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureNotifyMask | SubstructureRedirectMask, &request);
    const auto deadline = std::chrono::steady_clock::now() + kFrameAnswerTime;
    std::vector<long> extents;  // left, right, top, bottom
    for (auto now = deadline - kFrameAnswerTime; extents.empty() && now < deadline;
         now = std::chrono::steady_clock::now()) {
        if (!XPending(display)) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            ::poll(&connection, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count()));
        }
        XEvent event;
        while (XPending(display))
            XNextEvent(display, &event);
        extents = longs(display, probe, "_NET_FRAME_EXTENTS");
    }
    XDestroyWindow(display, probe);
    if (extents.size() != 4 || *std::min_element(extents.begin(), extents.end()) < 0)
        return kAssumedFrame;
    return {static_cast<unsigned>(extents[0] + extents[1]), static_cast<unsigned>(extents[2] + extents[3])};
}

}  // namespace

WorkArea desktopWorkArea(sf::Vector2u screen) {
    WorkArea area{{0, 0}, screen, {0, 0}};
    Display* const display = XOpenDisplay(nullptr);
    if (!display)
        return area;
    const auto previous = XSetErrorHandler(ignoreError);
    const Window root = DefaultRootWindow(display);
    // Without a window manager there is no frame, and what one that has gone
    // left on the root window counts for nothing.
    if (windowManagerRuns(display, root)) {
        readWorkArea(display, root, area);
        area.frame = supports(display, root, "_NET_REQUEST_FRAME_EXTENTS") ? askFrame(display, root) : kAssumedFrame;
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return area;
}
