#include "audio/Tone.hpp"

#include "app/Random.hpp"
#include "app/SfmlCompat.hpp"
#include "gameplay/Tuning.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kRate = static_cast<float>(kToneSampleRate);
constexpr float kAngularFactor = 2.f * kPi;
constexpr float kPeak = 28000.f;

// The noisy square peaks at 1.3 * 28000, beyond 16 bits while the envelope is
// still high; clamp there, since letting it wrap would flip the sign and click.
std::int16_t toSample(float value) {
    constexpr float highest = std::numeric_limits<std::int16_t>::max();
    constexpr float lowest = std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(std::clamp(value, lowest, highest));  // truncates toward zero
}

}  // namespace

std::vector<std::int16_t> toneSamples(float frequency, float duration, Waveform waveform) {
    const float length = duration * kRate;
    if (!(length >= 1.f))
        return {};
    const int count = static_cast<int>(length);

    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / kRate;
        const float progress = t / duration;
        const float envelope = 1.f - progress;
        float value;
        if (waveform == Waveform::Sine) {
            value = std::sin(frequency * kAngularFactor * t) * envelope * kPeak;
        } else if (waveform == Waveform::NoisySquare) {
            // The phase scales with the falling factor, so the pitch swoops
            // down to nothing and back up again; that is the sound we want.
            const float s = std::sin((1.f - progress * 0.8f) * frequency * kAngularFactor * t);
            const float square = s > 0.f ? 1.f : -1.f;
            const float noise = static_cast<float>(drawRandom()) / static_cast<float>(kRandomMax);
            value = (noise * 0.6f - 0.3f + square) * envelope * kPeak;
        } else {
            const float rising = frequency * 0.5f * progress + frequency;
            value = std::sin(rising * kAngularFactor * t) * envelope * kPeak;
        }
        samples[static_cast<std::size_t>(i)] = toSample(value);
    }
    return samples;
}

sf::SoundBuffer makeTone(float frequency, float duration, Waveform waveform) {
    sf::SoundBuffer buffer;
    const std::vector<std::int16_t> samples = toneSamples(frequency, duration, waveform);
    // SFML rejects an empty array with a message; an empty buffer is silence anyway.
    if (!samples.empty())
        compat::loadMonoSamples(buffer, samples, kToneSampleRate);
    return buffer;
}
