#include "app/Game.hpp"

void Game::handleEvents() {
    while (const std::optional<compat::InputEvent> event = compat::pollInput(window)) {
        handleEvent(*event);
        if (!window.isOpen())
            return;
    }
    if (state == GameState::Playing)
        movePaddleByKeyboard();
}

void Game::handleEvent(const compat::InputEvent& event) {
    if (event.kind == compat::InputEvent::Kind::Closed)
        window.close();
}

void Game::handleAction() {}

void Game::movePaddleByKeyboard() {}
