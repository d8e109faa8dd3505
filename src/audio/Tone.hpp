// Sound effects computed from a frequency, a duration and a wave shape:
// 44100 Hz mono 16-bit, fading linearly to silence.
#pragma once

#include <SFML/Audio/SoundBuffer.hpp>

#include <cstdint>
#include <vector>

inline constexpr unsigned kToneSampleRate = 44100;

enum class Waveform {
    Sine,
    NoisySquare,   // falling square with white noise; one random draw per sample
    RisingSine,    // rising by half the frequency over the effect
};

// The samples of one effect: duration * 44100 of them, fraction dropped.
std::vector<std::int16_t> toneSamples(float frequency, float duration, Waveform waveform);

// The same samples in a ready mono buffer.
sf::SoundBuffer makeTone(float frequency, float duration, Waveform waveform);
