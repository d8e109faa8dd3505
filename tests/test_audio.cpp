// Synthesised sound: sample counts, wave shapes, the clamp of the loud noisy
// square, its random draws, and the bank a Game builds.
#include "app/Game.hpp"
#include "app/Random.hpp"
#include "audio/SoundBank.hpp"
#include "audio/Tone.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kSine = 0, kNoisySquare = 1, kRisingSine = 2;

// Sample i of a tone, written out step by step in single precision.
int referenceSample(float frequency, float duration, int waveform, int i, int draw) {
    const float t = static_cast<float>(i) / 44100.f;
    const float p = t / duration;
    const float envelope = 1.f - p;
    float v;
    if (waveform == kSine) {
        v = std::sin(frequency * 6.28318f * t) * envelope * 28000.f;
    } else if (waveform == kNoisySquare) {
        const float level = std::sin((1.f - p * 0.8f) * frequency * 6.28318f * t) > 0.f ? 1.f : -1.f;
        v = (static_cast<float>(draw) / 32767.f * 0.6f - 0.3f + level) * envelope * 28000.f;
    } else {
        v = std::sin((frequency * 0.5f * p + frequency) * 6.28318f * t) * envelope * 28000.f;
    }
    const long truncated = static_cast<long>(v);
    return truncated > 32767 ? 32767 : truncated < -32768 ? -32768 : static_cast<int>(truncated);
}

// The buffer a player is bound to, whether the library hands back a pointer
// or a reference.
inline const sf::SoundBuffer* address(const sf::SoundBuffer* buffer) { return buffer; }
inline const sf::SoundBuffer* address(const sf::SoundBuffer& buffer) { return &buffer; }

}  // namespace

TEST(ToneSynthesis, SampleCountsDropTheFraction) {
    struct Row { float duration; std::size_t samples; };
    const Row rows[] = {{0.06f, 2646}, {0.05f, 2205}, {0.25f, 11025}, {0.5f, 22050}, {0.4f, 17640},
                        {0.00004f, 1}, {0.00001f, 0}, {0.f, 0}, {-1.f, 0}};
    for (const Row& row : rows)
        for (int waveform : {kSine, kNoisySquare, kRisingSine, 7})
            EXPECT_EQ(toneSamples(300.f, row.duration, waveform).size(), row.samples)
                << row.duration << " s, waveform " << waveform;
}

TEST(ToneSynthesis, ShapesFollowTheirFormulas) {
    const std::vector<std::int16_t> sine = toneSamples(440.f, 0.06f, kSine);
    const std::vector<std::int16_t> rising = toneSamples(523.f, 0.5f, kRisingSine);
    ASSERT_EQ(sine.size(), 2646u);
    ASSERT_EQ(rising.size(), 22050u);
    EXPECT_EQ(sine[0], 0);
    EXPECT_EQ(rising[0], 0);

    for (int i : {1, 7, 100, 1000, 1323, 2645})
        EXPECT_EQ(sine[static_cast<std::size_t>(i)], referenceSample(440.f, 0.06f, kSine, i, 0)) << i;
    for (int i : {1, 50, 5000, 11025, 22049})
        EXPECT_EQ(rising[static_cast<std::size_t>(i)], referenceSample(523.f, 0.5f, kRisingSine, i, 0))
            << i;

    // Sample 25 of the 440 Hz sine, near its crest: sin(440 * 2pi * 25 / 44100)
    // = 0.99999 at envelope 1 - 25 / 2646, about 27735.
    EXPECT_NEAR(sine[25], 27735, 3);
    // Halfway through the rising sine the factor is 1.25 and the envelope 0.5:
    // sin(653.75 * 6.28318 * 0.25) * 14000, about 5369.
    EXPECT_NEAR(rising[11025], 5369, 3);
    // Unknown shapes sound as the rising sine.
    EXPECT_EQ(toneSamples(523.f, 0.5f, 9), rising);
}

TEST(ToneSynthesis, NoisySquareDrawsOncePerSampleAndClampsInsteadOfWrapping) {
    const unsigned seed = 1234;
    const int n = 11025;
    seedRandom(seed);
    std::vector<int> draws;
    for (int i = 0; i <= n; ++i)
        draws.push_back(drawRandom());

    seedRandom(seed);
    const std::vector<std::int16_t> noisy = toneSamples(120.f, 0.25f, kNoisySquare);
    ASSERT_EQ(noisy.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(drawRandom(), draws[static_cast<std::size_t>(n)]) << "exactly one draw per sample";

    // sin 0 is not above 0, so the first sample sits on the low level.
    EXPECT_LT(noisy[0], -19599);
    for (int i : {0, 1, 200, 1102, 5000, 11024})
        EXPECT_EQ(noisy[static_cast<std::size_t>(i)],
                  referenceSample(120.f, 0.25f, kNoisySquare, i, draws[static_cast<std::size_t>(i)]))
            << i;

    // Early on the value is beyond 16 bits now and then; it must pin to the
    // limit with the square's sign, never wrap to the other side.
    int atTop = 0, atBottom = 0;
    for (int i = 0; i < n / 10; ++i) {
        const float t = static_cast<float>(i) / 44100.f;
        const float phase = (1.f - t / 0.25f * 0.8f) * 120.f * 6.28318f * t;
        const int sample = noisy[static_cast<std::size_t>(i)];
        EXPECT_NE(sample, 0) << i;
        EXPECT_EQ(sample > 0, std::sin(phase) > 0.f) << i;
        atTop += sample == 32767 ? 1 : 0;
        atBottom += sample == -32768 ? 1 : 0;
    }
    EXPECT_GT(atTop, 0);
    EXPECT_GT(atBottom, 0);

    // The plain sines draw nothing.
    seedRandom(seed);
    toneSamples(440.f, 0.06f, kSine);
    toneSamples(523.f, 0.5f, kRisingSine);
    EXPECT_EQ(drawRandom(), draws[0]);
}

TEST(SoundBank, EffectSettings) {
    struct Row { SoundId id; float frequency, duration; Waveform waveform; float volume; };
    const Row rows[] = {
        {SoundId::Hit, 440.f, 0.06f, Waveform::Sine, 60.f},
        {SoundId::Wall, 280.f, 0.05f, Waveform::Sine, 40.f},
        {SoundId::Break, 120.f, 0.25f, Waveform::NoisySquare, 80.f},
        {SoundId::LevelClear, 523.f, 0.5f, Waveform::RisingSine, 90.f},
        {SoundId::Lose, 80.f, 0.4f, Waveform::NoisySquare, 70.f},
    };
    for (const Row& row : rows) {
        const SoundSettings& settings = soundSettings(row.id);
        EXPECT_EQ(settings.frequency, row.frequency);
        EXPECT_EQ(settings.duration, row.duration);
        EXPECT_EQ(settings.waveform, row.waveform);
        EXPECT_EQ(settings.volume, row.volume);
    }
}

TEST(SoundBank, BuildsEveryBufferThenOnePlayerEach) {
    Game game;
    const std::size_t samples[] = {2646, 2205, 11025, 22050, 17640};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(game.soundBuffers[i].getSampleCount(), samples[i]) << i;
        ASSERT_TRUE(game.sounds[i].has_value()) << i;
        EXPECT_EQ(address(game.sounds[i]->getBuffer()), &game.soundBuffers[i]) << i;
    }

    // Rebuild from a known seed: the sines as synthesised, the two noisy
    // squares drawing Break's noise before Lose's.
    seedRandom(99);
    game.buildSounds();
    seedRandom(99);
    const std::vector<std::int16_t> expected[] = {
        toneSamples(440.f, 0.06f, kSine),       toneSamples(280.f, 0.05f, kSine),
        toneSamples(120.f, 0.25f, kNoisySquare), toneSamples(523.f, 0.5f, kRisingSine),
        toneSamples(80.f, 0.4f, kNoisySquare),
    };
    const int next = drawRandom();
    for (std::size_t i = 0; i < 5; ++i) {
        const sf::SoundBuffer& buffer = game.soundBuffers[i];
        const std::vector<std::int16_t> held(buffer.getSamples(),
                                             buffer.getSamples() + buffer.getSampleCount());
        EXPECT_EQ(held, expected[i]) << i;
        EXPECT_EQ(address(game.sounds[i]->getBuffer()), &buffer) << i;
    }
    seedRandom(99);
    for (int i = 0; i < 11025 + 17640; ++i)
        drawRandom();
    EXPECT_EQ(next, drawRandom());

    // Playing, the same effect twice in a row too, reaches the seam in order.
    std::vector<SoundId> played;
    game.onSoundPlayed = [&played](SoundId id) { played.push_back(id); };
    const std::vector<SoundId> order{SoundId::Wall, SoundId::Wall, SoundId::Break,
                                     SoundId::LevelClear, SoundId::Hit, SoundId::Lose};
    for (SoundId id : order)
        game.playSound(id);
    EXPECT_EQ(played, order);
}
