#include "app/Game.hpp"

int main() {
    Game game;
    sf::Clock clock;
    while (game.window.isOpen()) {
        const float elapsed = static_cast<float>(clock.restart().asMicroseconds()) / 1000000.f;
        game.runFrame(elapsed);
    }
    return 0;
}
