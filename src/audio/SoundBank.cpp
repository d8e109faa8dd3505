#include "audio/SoundBank.hpp"

#include "app/Game.hpp"

#include <array>
#include <cstddef>

namespace {

// Indexed by SoundId.
const std::array<SoundSettings, kSoundCount> kSoundTable = {{
    {440.f, 0.06f, Waveform::Sine, 60.f},          // Hit
    {280.f, 0.05f, Waveform::Sine, 40.f},          // Wall
    {120.f, 0.25f, Waveform::NoisySquare, 80.f},   // Break
    {523.f, 0.5f, Waveform::RisingSine, 90.f},     // LevelClear
    {80.f, 0.4f, Waveform::NoisySquare, 70.f},     // Lose
}};

}  // namespace

void Game::buildSounds() {
    // Every buffer first, in id order, which also fixes the order of the
    // noise draws in the game's random sequence.
    for (std::size_t i = 0; i < kSoundTable.size(); ++i) {
        const SoundSettings& settings = kSoundTable[i];
        soundBuffers[i] = makeTone(settings.frequency, settings.duration, settings.waveform);
    }
    for (std::size_t i = 0; i < kSoundTable.size(); ++i) {
        sounds[i].reset();
        sounds[i].emplace(soundBuffers[i]);
        sounds[i]->setVolume(kSoundTable[i].volume);
    }
}

void Game::playSound(SoundId id) {
    sounds[static_cast<std::size_t>(id)]->play();
    if (onSoundPlayed)
        onSoundPlayed(id);
}
