// The pieces: the brick grid of every level, the sparks' draws and motion,
// each sound effect's samples and player, the frame loop's clock, fonts and
// random draws. tools/smoke-run.sh starts and quits the real program, also on
// a 16-bit screen.
#include "TestSupport.hpp"

#include "app/Fonts.hpp"
#include "app/Game.hpp"
#include "app/Random.hpp"
#include "app/WindowModes.hpp"
#include "audio/Tone.hpp"
#include "gameplay/Particles.hpp"
#include "gameplay/Round.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <tuple>

// The buffer a player is bound to, whether the library hands back a pointer
// or a reference.
[[maybe_unused]] static const sf::SoundBuffer* address(const sf::SoundBuffer* b) { return b; }
[[maybe_unused]] static const sf::SoundBuffer* address(const sf::SoundBuffer& b) { return &b; }

TEST(BrickLayout, EveryLevelsGridAndWhereTheNormalWindowPutsIt) {
    // Bricks, reinforced, hits to clear and points on the table of levels 1 to 5.
    const std::array<int, 4> table[5] = {{60, 3, 63, 660}, {60, 12, 72, 1680}, {45, 9, 54, 1890},
                                         {45, 9, 54, 2520}, {30, 7, 37, 2200}};
    for (int level = 1; level <= 5; ++level) {
        const std::vector<BrickCell> cells = brickLayout(level, 1280.f);
        std::array<int, 4> sum = {static_cast<int>(cells.size()), 0, 0, 0};
        for (const BrickCell& c : cells)
            sum = {sum[0], sum[1] + c.reinforced, sum[2] + c.hitPoints, sum[3] + c.points};
        EXPECT_EQ(sum, table[level - 1]) << "level " << level;
    }

    const std::vector<BrickCell> cells = brickLayout(1, 1280.f);
    const float columnX[] = {105, 212, 319, 426, 533, 640, 747, 854, 961, 1068};
    for (std::size_t c = 0; c < 10; ++c)
        EXPECT_EQ(cells.at(c + 10).position, sf::Vector2f(columnX[c], 137.f));
    EXPECT_EQ(cells.back().position + sf::Vector2f(100.f, 30.f), sf::Vector2f(1168.f, 315.f));
    // Row 1 is ordinary ice blue: body at a quarter of each channel, rim at 180.
    EXPECT_TRUE(cells.at(10).fillColor == sf::Color(13, 34, 55, 220) &&
                cells.at(10).outlineColor == sf::Color(55, 138, 221, 180));
    // Row 2, column 5 is reinforced, yet keeps the teal of its row.
    EXPECT_TRUE(cells.at(25).color == sf::Color(29, 158, 117, 255) && cells.at(25).fillColor == sf::Color(60, 50, 10, 220) &&
                cells.at(25).outlineColor == sf::Color(240, 160, 48, 255));
}

TEST(WindowModes, SmallScreensShowTheWholeFrameScaledDown) {
    using V = sf::Vector2u;
    // Laid out in: 1366 x 768 at 0.8, as 1920 x 1080 at 1; 800 x 600 and the 4:3 windows as 1280 x 960.
    for (const auto& [pixels, frame] : {std::pair<V, V>{{1366, 768}, {1707, 960}}, {{800, 600}, {1280, 960}}, {{920, 690}, {1280, 960}},
                                        {{1024, 1280}, {1280, 1600}}, {{1280, 960}, {1280, 960}}, {{1920, 1080}, {1920, 1080}}})
        EXPECT_EQ(logicalSize(pixels), frame) << pixels.x << "x" << pixels.y;
    // The window: 1280 x 960 within 90 % of the desktop, else the largest 4:3 that is.
    for (const auto& [desktop, window] : {std::pair<V, V>{{1920, 1080}, {1280, 960}}, {{1423, 1067}, {1280, 960}}, {{1422, 1067}, {1276, 957}},
                                          {{1366, 768}, {920, 690}}, {{1536, 864}, {1036, 777}}, {{800, 600}, {720, 540}}})
        EXPECT_EQ(windowedSize(desktop), window) << desktop.x << "x" << desktop.y;
}

TEST(Particles, BurstsDrawInOrder) {
    seedRandom(4242);
    std::vector<int> r(22 * 4 + 1);
    std::generate(r.begin(), r.end(), drawRandom);
    const auto fromDraw = [&](std::size_t k, float lo, float hi) { return r[k] / 32767.f * (hi - lo) + lo; };
    std::vector<Particle> sparks;
    seedRandom(4242);
    appendParticles(sparks, {1.f, 1.f}, sf::Color::Red, -3);
    appendParticles(sparks, {300.f, 200.f}, Palette::Amber, 22);
    EXPECT_EQ(drawRandom(), r[22 * 4]) << "four draws per spark, none for a negative count";
    ASSERT_EQ(sparks.size(), 22u);
    for (std::size_t i = 0; i < 22; ++i) {  // angle, speed, life, size
        const float radians = fromDraw(4 * i, 0.f, 360.f) * 3.14159f / 180.f, speed = fromDraw(4 * i + 1, 80.f, 320.f);
        EXPECT_EQ(sparks[i].velocity, sf::Vector2f(std::cos(radians) * speed, std::sin(radians) * speed)) << i;
        EXPECT_TRUE(sparks[i].life == fromDraw(4 * i + 2, 0.4f, 1.1f) && sparks[i].maxLife == sparks[i].life) << i;
        EXPECT_EQ(sparks[i].size, fromDraw(4 * i + 3, 2.f, 7.f)) << i;
    }
}

TEST(SoundEffects, EachFollowsItsFormulaAndPlaysFromItsOwnBuffer) {
    enum { kSine, kNoisySquare, kRisingSine };
    struct Row { float hz, seconds; int wave; std::size_t samples; float volume; };
    const Row rows[] = {{440, 0.06f, kSine, 2646, 60},         {280, 0.05f, kSine, 2205, 40},
                        {120, 0.25f, kNoisySquare, 11025, 80}, {523, 0.5f, kRisingSine, 22050, 90},
                        {80, 0.4f, kNoisySquare, 17640, 70}};
    Game game;
    for (std::size_t k = 0; k < 5; ++k) {
        const Row& row = rows[k];
        SCOPED_TRACE(row.hz);
        EXPECT_EQ(game.soundBuffers[k].getSampleCount(), row.samples);
        ASSERT_TRUE(game.sounds[k].has_value());
        EXPECT_EQ(address(game.sounds[k]->getBuffer()), &game.soundBuffers[k]);
        EXPECT_FLOAT_EQ(game.sounds[k]->getVolume(), row.volume);

        seedRandom(1234);
        std::vector<int> draws(row.samples + 1);
        std::generate(draws.begin(), draws.end(), drawRandom);
        seedRandom(1234);
        const std::vector<std::int16_t> tone = toneSamples(row.hz, row.seconds, row.wave);
        ASSERT_EQ(tone.size(), row.samples);
        const bool noisy = row.wave == kNoisySquare;
        EXPECT_EQ(drawRandom(), draws[noisy ? row.samples : 0]) << "one draw per noisy sample";
        // Step by step in single precision; past 16 bits a sample pins to the
        // limit rather than wrapping, and only the noisy square gets there.
        int mismatches = 0, pinned = 0;
        for (std::size_t i = 0; i < row.samples; ++i) {
            const float t = static_cast<float>(i) / 44100.f, p = t / row.seconds;
            const float f = row.wave == kRisingSine ? row.hz * 0.5f * p + row.hz : row.hz;
            const float v = noisy ? draws[i] / 32767.f * 0.6f - 0.3f +
                                        (std::sin((1.f - p * 0.8f) * row.hz * 6.28318f * t) > 0.f ? 1.f : -1.f)
                                  : std::sin(f * 6.28318f * t);
            const int want = int(std::clamp(v * (1.f - p) * 28000.f, -32768.f, 32767.f));
            mismatches += tone[i] != want;
            pinned += tone[i] == 32767 || tone[i] == -32768;
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(pinned > 0, noisy);
    }
    // Worked by hand: sample 25 of the 440 Hz sine, sin(440 * 2pi * 25 / 44100)
    // = 0.99999 at envelope 1 - 25 / 2646, about 27735; halfway through the
    // rising sine, sin(653.75 * 6.28318 * 0.25) * 14000, about 5369.
    EXPECT_NEAR(toneSamples(440.f, 0.06f, kSine)[25], 27735, 3);
    EXPECT_NEAR(toneSamples(523.f, 0.5f, kRisingSine)[11025], 5369, 3);
    // 0.00004 s is 1.764 samples: the fraction is dropped, not rounded.
    EXPECT_EQ(toneSamples(300.f, 0.00004f, kSine).size(), 1u);
}

TEST(FrameLoop, CapsTheStepHoldsThePausedBallAndReadsTheWindow) {
    testing_support::Harness h;
    Game& game = h.game;
    // A 0.2 s frame advances everything by exactly 0.05 s.
    game.cheerTimer = 1.f;
    game.runFrame(0.2f);
    EXPECT_EQ(std::vector<float>({game.animTime, game.paddleGlowPhase, game.cheerTimer}),
              std::vector<float>({0.05f * 0.4f, 0.05f * 3.f, 0.95f}));
    // Paused: the ball stays where it is.
    h.flyUnder(game.bricks[0]);
    game.state = GameState::Paused;
    const sf::Vector2f at = game.ball.getPosition();
    game.runFrame(0.01f);
    EXPECT_EQ(game.ball.getPosition(), at);
    // A real pointer move reaches the game through the window's own queue.
    sf::Mouse::setPosition({300, 480}, game.window);
    for (int i = 0; i < 200 && game.paddle.getPosition().x != 300.f; ++i)
        game.runFrame(0.f);
    EXPECT_EQ(game.paddle.getPosition().x, 300.f);
}

TEST(Fonts, FirstCandidateThatOpensWins) {
    testing_support::ScopedTempDir dir;
    const std::string font = testing_support::kTestFont, missing = (dir.path() / "missing.ttf").string(),
                      junk = (dir.path() / "junk.ttf").string(), folder = dir.path().string();
    testing_support::writeFile(junk, "this is not a font");
    sf::Font loaded;
    EXPECT_EQ(openFirstFont(loaded, {font, missing}), 0);
    EXPECT_EQ(openFirstFont(loaded, {missing, junk, folder, font}), 3);
    std::ostringstream report;  // and says so in one line when none opens
    EXPECT_EQ(openFirstFont(loaded, {missing, junk}, report), -1);
    EXPECT_EQ(report.str(), "tundrel: no usable font, the game runs without text; tried: " + missing + " " + junk + "\n");
}

TEST(Random, DrawsSpanExactly0To32767) {
    seedRandom(20261206u);
    int low = kRandomMax, high = 0;
    for (int i = 0; i < 1000000; ++i)
        std::tie(low, high) = std::minmax({low, high, drawRandom()});
    EXPECT_TRUE(low == 0 && high == kRandomMax) << low << " " << high;
}
