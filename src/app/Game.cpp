#include "app/Game.hpp"

#include "app/Browser.hpp"
#include "app/Fonts.hpp"
#include "app/Random.hpp"
#include "app/WindowFrame.hpp"
#include "app/WindowModes.hpp"
#include "render/Icon.hpp"

#include <algorithm>
#include <ctime>

std::string windowTitle() { return std::string("TUNDREL | ") + SITE_LABEL; }

Game::Game()
    : isKeyHeld([](sf::Keyboard::Key key) { return sf::Keyboard::isKeyPressed(key); }),
      openUrl(openInBrowser) {
    seedRandom(static_cast<unsigned>(std::time(nullptr)));
    createWindow(false);
    openFirstFont(font, fontCandidates());
    buildSounds();
    loadHighScores();
    resetRound();
}

void Game::createWindow(bool wantFullscreen) {
    fullscreen = wantFullscreen;
    windowHasFocus = false;  // until the new window says it has
    const float oldWidth = frameSize().x;
    const sf::String title(windowTitle());
    const sf::VideoMode desktopMode = sf::VideoMode::getDesktopMode();
    const sf::Vector2u desktop = compat::modeSize(desktopMode);
    const unsigned depth = windowBitsPerPixel(desktopMode.bitsPerPixel);
    // Asked only when needed: before the first window each question is a new
    // connection to the X server, and SFML aborts if one is refused.
    const std::optional<sf::VideoMode> fullscreenChoice =
        wantFullscreen ? fullscreenMode(sf::VideoMode::getFullscreenModes(), depth) : std::nullopt;
    if (wantFullscreen && fullscreenChoice) {
        compat::createFullscreen(window, *fullscreenChoice, title);
    } else {
        // Also the fallback when the system offers no fullscreen mode at all.
        const sf::Vector2u size = windowedSize(desktop);
        compat::createWindowed(window, compat::videoMode(size.x, size.y, depth), title,
                               sf::Style::Titlebar | sf::Style::Close);
        // SFML 2.5 centres the height on the screen's width, and some window
        // managers keep that place, partly below the screen. Where the
        // frame counts, it stays on a small screen too.
        window.setPosition(keepFrameOnScreen(centredPosition(desktop, window.getSize()), desktop,
                                             outerWindowSize(window.getSize())));
    }
    // A window smaller than the frame shows all of it, scaled down.
    const sf::Vector2f frame(logicalSize(window.getSize()));
    window.setView(sf::View(frame * 0.5f, frame));
    window.setFramerateLimit(kFrameRateLimit);
    window.setMouseCursorVisible(false);
    buildBackdrop();
    compat::setIcon(window, drawIcon(kWindowIconSize));
    fitPlayfieldToWindow(oldWidth);
}

void Game::runFrame(float elapsedSeconds) {
    keyClock += elapsedSeconds;
    handleEvents();
    update(std::min(elapsedSeconds, kMaxFrameTime));
    render();
}

void Game::advanceFrameClocks(float dt) {
    animTime += dt * 0.4f;
    cheerTimer = std::max(cheerTimer - dt, 0.f);
    paddleGlowPhase += dt * 3.f;
    if (state == GameState::LevelIntro)
        introCountdown -= dt;
}
