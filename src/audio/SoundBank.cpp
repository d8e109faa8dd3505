#include "app/Game.hpp"

void Game::buildSounds() {}
void Game::playSound(SoundId id) {
    if (onSoundPlayed)
        onSoundPlayed(id);
}
