// The window on a real X screen: alone, and under a window manager with a
// panel, played by the test itself on the root window.
#include "TestSupport.hpp"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <map>

namespace {

// The marks of a window manager that keeps `panel` pixels at the top and
// answers frame requests with `frame` (left, right, top, bottom) where given;
// one that has `gone` left its marks naming a window no longer there.
struct StandInWindowManager {
    Display* x = XOpenDisplay(nullptr);
    Window root = DefaultRootWindow(x), check = XCreateSimpleWindow(x, root, 0, 0, 1, 1, 0, 0, 0);
    std::atomic<bool> stop{false};
    std::thread answering;

    void mark(Window w, const char* name, Atom type, std::vector<long> values) {
        XChangeProperty(x, w, XInternAtom(x, name, False), type, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
    }
    StandInWindowManager(long panel, const std::vector<long>& frame, bool gone) {
        mark(root, "_NET_WORKAREA", XA_CARDINAL, {0, panel, DisplayWidth(x, 0), DisplayHeight(x, 0) - panel});
        for (const Window w : {root, check})
            mark(w, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {static_cast<long>(check)});
        if (!frame.empty())
            mark(root, "_NET_SUPPORTED", XA_ATOM, {static_cast<long>(XInternAtom(x, "_NET_REQUEST_FRAME_EXTENTS", False))});
        if (gone)
            XDestroyWindow(x, check);
        XSelectInput(x, root, SubstructureNotifyMask);  // where the requests come
        XSync(x, False);
        answering = std::thread([this, frame] {
            for (XEvent e; !stop; XFlush(x), std::this_thread::sleep_for(std::chrono::milliseconds(2)))
                while (XPending(x) && !XNextEvent(x, &e))  // XNextEvent returns 0
                    if (e.type == ClientMessage && !frame.empty())
                        mark(e.xclient.window, "_NET_FRAME_EXTENTS", XA_CARDINAL, frame);
        });
    }
    ~StandInWindowManager() {
        stop = true;
        answering.join();
        for (const char* name : {"_NET_WORKAREA", "_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED"})
            XDeleteProperty(x, root, XInternAtom(x, name, False));
        XCloseDisplay(x);
    }
};

}  // namespace

// CTest runs it on screens of 1680 x 1050, 1280 x 1024 and 1366 x 768.
TEST(WorkArea, NativeWindowWhereverItFitsWithItsFrame) {
    testing_support::Harness h;
    const unsigned width = compat::modeSize(sf::VideoMode::getDesktopMode()).x;
    using W = std::pair<sf::Vector2u, sf::Vector2i>;
    // Alone; a 30-pixel panel and a frame told as 34 pixels high; the same
    // panel and a frame left untold (40 assumed); then alone again, with the
    // marks of a window manager that has gone.
    const std::map<unsigned, std::array<W, 3>> wants = {
        {1680, {W{{1280, 960}, {200, 45}}, W{{1280, 960}, {200, 60}}, W{{1280, 960}, {200, 60}}}},
        {1280, {W{{1280, 960}, {0, 32}}, W{{1280, 960}, {0, 47}}, W{{1152, 864}, {64, 95}}}},
        {1366, {W{{920, 690}, {223, 39}}, W{{884, 663}, {241, 67}}, W{{884, 663}, {241, 67}}}}};
    if (!wants.count(width))
        GTEST_SKIP() << "CTest runs this on screens of its own";
    for (int manager = 0; manager < 4; ++manager) {
        SCOPED_TRACE(manager);
        std::optional<StandInWindowManager> wm;
        if (manager > 0)
            wm.emplace(30, manager == 1 ? std::vector<long>{0, 0, 30, 4} : std::vector<long>{}, manager == 3);
        h.game.createWindow(false);
        EXPECT_EQ(W(h.game.window.getSize(), h.game.window.getPosition()), wants.at(width)[manager % 3]);
    }
}
