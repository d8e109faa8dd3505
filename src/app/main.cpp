#include "app/Game.hpp"

#include <SFML/System/Err.hpp>

int main() {
    // The game prints nothing, not even the library's complaints about a
    // missing sound card.
    sf::err().rdbuf(nullptr);

    Game game;
    sf::Clock clock;
    while (game.window.isOpen()) {
        const float elapsed = static_cast<float>(clock.restart().asMicroseconds()) / 1000000.f;
        game.runFrame(elapsed);
    }
    return 0;
}
