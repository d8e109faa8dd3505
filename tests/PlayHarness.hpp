// A real Game in a scratch folder whose keyboard, speakers and browser are
// replaced by recorders, for the input, flight and whole-game tests.
#pragma once

#include "TestSupport.hpp"

#include "app/Game.hpp"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace play_tests {

class Harness {
public:
    Harness() : cwd(dir.path()) {
        game.isKeyHeld = [this](sf::Keyboard::Key key) { return held.count(key) > 0; };
        game.onSoundPlayed = [this](SoundId id) { sounds.push_back(id); };
        game.openUrl = [this](const std::string& url) { urls.push_back(url); };
    }
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    testing_support::ScopedTempDir dir;
    testing_support::ScopedWorkingDir cwd;
    Game game;
    std::set<sf::Keyboard::Key> held;
    std::vector<SoundId> sounds;
    std::vector<std::string> urls;

    void press(sf::Keyboard::Key key) { game.handleEvent(compat::InputEvent::keyPressed(key)); }
    void type(std::uint32_t codePoint) { game.handleEvent(compat::InputEvent::text(codePoint)); }
    void typeText(const std::string& text) {
        for (unsigned char c : text)
            type(c);
    }
    void click(sf::Mouse::Button button) {
        game.handleEvent(compat::InputEvent::mousePressed(button, {640, 480}));
    }
    void moveMouse(int x, int y = 480) { game.handleEvent(compat::InputEvent::mouseMoved({x, y})); }

    // A ball in flight at p with velocity v, in the playing state.
    void fly(sf::Vector2f p, sf::Vector2f v) {
        game.state = GameState::Playing;
        game.ballLaunched = true;
        game.ball.setPosition(p);
        game.ballVelocity = v;
    }

    std::size_t count(SoundId id) const {
        return static_cast<std::size_t>(std::count(sounds.begin(), sounds.end(), id));
    }
};

// A brick as the grid builds them: 100 x 30 with a 1.5 outline, top-left at
// `topLeft`.
inline Brick makeBrick(sf::Vector2f topLeft, int hitPoints = 1, int points = 10,
                       sf::Color color = Palette::Violet) {
    Brick brick;
    brick.shape.setSize({100.f, 30.f});
    brick.shape.setOutlineThickness(1.5f);
    brick.shape.setPosition(topLeft);
    brick.shape.setFillColor(sf::Color(27, 23, 57, 220));
    brick.color = color;
    brick.alive = true;
    brick.points = points;
    brick.hitPoints = hitPoints;
    return brick;
}

}  // namespace play_tests
