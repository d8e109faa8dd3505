#include "app/Display.hpp"
#include "app/Game.hpp"

#include <SFML/System/Err.hpp>

#include <iostream>

int main() {
    // The game writes a line only of its own: a failed save, no font, no
    // browser opener, no display. The library's complaints, such as about a
    // missing sound card, stay unsaid.
    sf::err().rdbuf(nullptr);

    // Without a display the window library would abort.
    const DisplayConnection display;
    if (!display.problem().empty()) {
        std::cerr << "tundrel: " << display.problem() << '\n';
        return 1;
    }
    Game game;
    sf::Clock clock;
    while (game.window->isOpen()) {
        const float elapsed = static_cast<float>(clock.restart().asMicroseconds()) / 1000000.f;
        game.runFrame(elapsed);
    }
    return 0;
}
