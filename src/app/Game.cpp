#include "app/Game.hpp"

#include "app/Browser.hpp"
#include "app/Fonts.hpp"
#include "app/Random.hpp"
#include "app/WindowModes.hpp"
#include "app/WorkArea.hpp"
#include "render/Icon.hpp"

#include <algorithm>
#include <ctime>

std::string windowTitle() { return std::string("TUNDREL | ") + SITE_LABEL; }

Game::Game()
    : isKeyHeld([](sf::Keyboard::Key key) { return sf::Keyboard::isKeyPressed(key); }),
      openUrl(openInBrowser) {
    window.emplace();
    start();
}

Game::Game(NoWindow)
    : isKeyHeld([](sf::Keyboard::Key) { return false; }), openUrl(openInBrowser) {
    start();
}

void Game::start() {
    seedRandom(static_cast<unsigned>(std::time(nullptr)));
    createWindow(false);
    openFirstFont(font, fontCandidates());
    buildSounds();
    loadHighScores();
    resetRound();
}

// Only this file asks whether the game has a window: here, in frameSize,
// frameX, nextInput, quit and runFrame.
void Game::createWindow(bool wantFullscreen) {
    fullscreen = wantFullscreen;
    windowHasFocus = false;  // until the new window says it has
    const float oldWidth = frameSize().x;
    if (window)
        openWindow(wantFullscreen);
    buildBackdrop();
    fitPlayfieldToWindow(oldWidth);
}

// Opens the window anew, centred on the desktop.
void Game::openWindow(bool wantFullscreen) {
    const sf::String title(windowTitle());
    const sf::VideoMode desktopMode = sf::VideoMode::getDesktopMode();
    const sf::Vector2u desktop = compat::modeSize(desktopMode);
    const unsigned depth = windowBitsPerPixel(desktopMode.bitsPerPixel);
    // Asked only when needed: before the first window each question is a new
    // connection to the X server, and SFML aborts if one is refused.
    const std::optional<sf::VideoMode> fullscreenChoice =
        wantFullscreen ? fullscreenMode(sf::VideoMode::getFullscreenModes(), depth) : std::nullopt;
    if (wantFullscreen && fullscreenChoice) {
        compat::createFullscreen(*window, *fullscreenChoice, title);
    } else {
        // Also the fallback when the system offers no fullscreen mode at all.
        const WorkArea area = desktopWorkArea(desktop);
        const sf::Vector2u size = windowedSize(area);
        compat::createWindowed(*window, compat::videoMode(size.x, size.y, depth), title,
                               sf::Style::Titlebar | sf::Style::Close);
        // SFML 2.5 centres the height on the screen's width, and some window
        // managers keep that place, partly below the screen. Window managers
        // and Windows put the frame's corner where asked: the frame is
        // centred in the work area, so all of it that fits is in there.
        window->setPosition(area.corner + centredPosition(area.size, window->getSize() + area.frame));
    }
    // A window smaller than the frame shows all of it, scaled down.
    const sf::Vector2f frame(logicalSize(window->getSize()));
    window->setView(sf::View(frame * 0.5f, frame));
    window->setFramerateLimit(kFrameRateLimit);
    window->setMouseCursorVisible(false);
    compat::setIcon(*window, drawIcon(kWindowIconSize));
}

sf::Vector2f Game::frameSize() const {
    if (!window)
        return {static_cast<float>(kLogicalWidth), static_cast<float>(kLogicalHeight)};
    return window->getView().getSize();
}

// Where a window pixel falls in the frame. At 1:1 the pixel itself, since the
// view's float round trip can land a hair beside it.
float Game::frameX(sf::Vector2i pixel) const {
    if (!window || frameSize() == sf::Vector2f(window->getSize()))
        return static_cast<float>(pixel.x);
    return window->mapPixelToCoords(pixel).x;
}

std::optional<compat::InputEvent> Game::nextInput() {
    return window ? compat::pollInput(*window) : std::nullopt;
}

void Game::quit() {
    hasQuit = true;
    if (window)
        window->close();
}

void Game::runFrame(float elapsedSeconds) {
    keyClock += elapsedSeconds;
    handleEvents();
    update(std::min(elapsedSeconds, kMaxFrameTime));
    if (window)
        render();
}

void Game::advanceFrameClocks(float dt) {
    animTime += dt * 0.4f;
    cheerTimer = std::max(cheerTimer - dt, 0.f);
    paddleGlowPhase += dt * 3.f;
    if (state == GameState::LevelIntro)
        introCountdown -= dt;
}
