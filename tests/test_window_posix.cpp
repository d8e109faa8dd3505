// The window on a real X screen under a window manager with a panel, played
// by the test itself through the root window's marks (the root stands in
// for the manager's own window too), and after that manager has gone.
#include "TestSupport.hpp"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

// CTest runs it on screens of 1920 x 1080, 1280 x 1024 and 1366 x 768.
TEST(WorkArea, NativeWindowWhereverItFitsWithItsFrame) {
    SKIP_WITHOUT_SCREEN();
    testing_support::Harness h(true);
    Display* const x = XOpenDisplay(nullptr);
    const auto mark = [x](Window w, const char* name, Atom type, std::vector<long> v) {
        XChangeProperty(x, w, XInternAtom(x, name, False), type, 32, PropModeReplace, reinterpret_cast<unsigned char*>(v.data()), int(v.size()));
        XSync(x, False);
    };
    using W = std::pair<sf::Vector2u, sf::Vector2i>;
    // Under a window manager with a 30-pixel panel on the current desktop
    // (the second) that tells a frame of 0 and 2 pixels at the sides and 34
    // in all high (too wide, with them, for 1280 on a 1280 screen); the same
    // on the first desktop with the frame request left unanswered (0 x 40
    // assumed); alone, where the marks of one that has gone count for as
    // little as no marks do in every other test; unanswered again, with a
    // work area past the screen's right edge, which counts for nothing.
    const std::map<unsigned, std::array<W, 4>> wants = {
        {1280, {W{{1152, 864}, {63, 78}}, W{{1152, 864}, {64, 75}}, W{{1280, 960}, {0, 32}}, W{{1280, 960}, {0, 12}}}},
        {1366, {W{{884, 663}, {240, 50}}, W{{884, 663}, {241, 47}}, W{{920, 690}, {223, 39}}, W{{920, 690}, {223, 19}}}},
        {1920, {W{{1280, 960}, {319, 58}}, W{{1280, 960}, {320, 55}}, W{{1280, 960}, {320, 60}}, W{{1280, 960}, {320, 40}}}}};
    const unsigned width = compat::modeSize(sf::VideoMode::getDesktopMode()).x;
    if (!wants.count(width))
        GTEST_SKIP() << "CTest runs this on 1920 x 1080, 1280 x 1024 and 1366 x 768 screens of its own";
    XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);  // where frame requests come
    const long wide = DisplayWidth(x, 0), high = DisplayHeight(x, 0);
    for (int manager = 1; manager <= 4; ++manager) {
        // The first desktop's work area, without the panel, then the second's.
        const std::vector<long> panel{0, 30, wide, high - 30}, two{0, 0, wide, high, 0, 30, wide, high - 30}, beyond{wide, 30, 100, high - 30};
        mark(DefaultRootWindow(x), "_NET_WORKAREA", XA_CARDINAL, manager == 1 ? two : manager == 4 ? beyond : panel);
        mark(DefaultRootWindow(x), "_NET_CURRENT_DESKTOP", XA_CARDINAL, {manager == 1 ? 1L : 0L});
        mark(DefaultRootWindow(x), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {manager == 3 ? 0L : static_cast<long>(DefaultRootWindow(x))});
        mark(DefaultRootWindow(x), "_NET_SUPPORTED", XA_ATOM, {static_cast<long>(XInternAtom(x, "_NET_REQUEST_FRAME_EXTENTS", False))});
        std::thread answering([&] {  // one frame request, where it is answered
            for (XEvent e{}; manager == 1; XNextEvent(x, &e))
                if (e.type == ClientMessage)
                    return mark(e.xclient.window, "_NET_FRAME_EXTENTS", XA_CARDINAL, {0, 2, 30, 4});
        });
        h.game.createWindow(false);
        answering.join();
        EXPECT_EQ(W(h.game.window->getSize(), h.game.window->getPosition()), wants.at(width)[manager - 1]) << manager;
    }
    // Without the check the other marks are a gone manager's, which count for nothing.
    XDeleteProperty(x, DefaultRootWindow(x), XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False));
    XCloseDisplay(x);
}
