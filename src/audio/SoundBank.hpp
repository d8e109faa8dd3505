// The five effects of the game: how each is synthesised and how loud it plays.
#pragma once

#include "app/Types.hpp"
#include "audio/Tone.hpp"

struct SoundSettings {
    float frequency;   // Hz
    float duration;    // seconds
    Waveform waveform;
    float volume;      // player volume, 0 to 100
};
