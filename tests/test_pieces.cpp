// The pieces: small-screen sizes, each sound effect's samples and player, the
// frame loop's clock. Brick grids, sparks and the random draws are held by the
// golden pictures and the perfect game's counts. tools/smoke-run.sh
// starts and quits the real program, also on a 16-bit screen.
#include "TestSupport.hpp"

#include "app/WindowModes.hpp"
#include "audio/Tone.hpp"
#include "render/Layout.hpp"

// The buffer a player is bound to, whether the library hands back a pointer
// or a reference.
[[maybe_unused]] static const sf::SoundBuffer* address(const sf::SoundBuffer* b) { return b; }
[[maybe_unused]] static const sf::SoundBuffer* address(const sf::SoundBuffer& b) { return &b; }

TEST(WindowModes, SmallScreensShowTheWholeFrameScaledDown) {
    using V = sf::Vector2u;
    // Fullscreen: the best mode of the window's depth, else the best mode at that depth.
    const std::vector<sf::VideoMode> modes{compat::videoMode(1920, 1080, 16), compat::videoMode(1600, 900, 32)};
    EXPECT_EQ(compat::modeSize(*fullscreenMode(modes, 32)), V(1600, 900));
    EXPECT_TRUE(compat::modeSize(*fullscreenMode(modes, 24)) == V(1920, 1080) && fullscreenMode(modes, 24)->bitsPerPixel == 24u);
    EXPECT_FALSE(fullscreenMode({}, 32));
    // The brick count shows in one place either side of a width 1.7 times the
    // height, and nowhere where the sidebar's bands would be too narrow.
    for (const float w : {1632.f, 1633.f, 1920.f})
        EXPECT_NE(layout::hudShowsBrickCount(w, 960.f), layout::sidebarVisible(w, 960.f)) << w;
    EXPECT_FALSE(layout::hudShowsBrickCount(640.f, 360.f) || layout::sidebarVisible(640.f, 360.f));
    // Laid out in: 1366 x 768 at 0.8, as 1920 x 1080 at 1; 800 x 600 and the 4:3 windows as 1280 x 960;
    // a minimised window, 0 wide or high, as it is.
    for (const auto& [pixels, frame] : {std::pair<V, V>{{1366, 768}, {1707, 960}}, {{800, 600}, {1280, 960}}, {{0, 600}, {0, 600}},
                                        {{1024, 1280}, {1280, 1600}}, {{1280, 960}, {1280, 960}}, {{1920, 1080}, {1920, 1080}}, {{800, 0}, {800, 0}}})
        EXPECT_EQ(logicalSize(pixels), frame) << pixels.x << "x" << pixels.y;
    // The window: 1280 x 960 wherever it fits the work area with its frame, else the
    // largest 4:3 that fits with its frame within 90 % of the work area.
    for (const auto& [size, frame, window] : {std::tuple<V, V, V>{{1680, 1050}, {}, {1280, 960}}, {{1400, 1050}, {}, {1280, 960}},
             {{1280, 1024}, {0, 64}, {1280, 960}}, {{1280, 1024}, {0, 65}, {1152, 864}}, {{1280, 1024}, {1, 0}, {1152, 864}},
             {{1280, 994}, {0, 37}, {1152, 864}}, {{1366, 768}, {}, {920, 690}}, {{1000, 700}, {0, 100}, {800, 600}}})
        EXPECT_EQ(windowedSize({{}, size, frame}), window) << size.x << "x" << size.y << " + " << frame.x << "x" << frame.y;
}

TEST(Veil, EachColourBeneathItLandsWhereTheSheetOverItWouldHave) {
    // One blend of straight alpha, channel by channel, rounded as 8 bits hold it.
    auto blend = [](sf::Color top, std::uint8_t a, sf::Color under, bool added) {
        auto mix = [&](int t, int u) { return std::min(255L, std::lround(t * a / 255.f + u * (added ? 1.f : 1.f - a / 255.f))); };
        return std::array<long, 3>{mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b)};
    };
    auto color = [](std::array<long, 3> c) { return sf::Color(std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2])); };
    for (const std::uint8_t v : {180, 200, 220, 230})
        for (const sf::Color c : {Palette::GridLine, withAlpha(Palette::Amber, 220), withAlpha(Palette::Teal, 18), Palette::Frost})
            for (const sf::Color under : {Palette::Night, sf::Color(20, 40, 30)})
                for (const bool added : {false, c.a < 255}) {  // an opaque colour is never added
                    const auto sheet = blend(Palette::Night, v, color(blend(c, c.a, under, added)), false);
                    const render::Ink ink = added ? render::Ink::Glow : render::Ink::Over;
                    const auto beneath = blend(render::veiled(c, v, ink), c.a, color(blend(Palette::Night, v, under, false)), added);
                    for (int k = 0; k < 3; ++k)
                        EXPECT_NEAR(sheet[k], beneath[k], 1) << int(v) << " " << added << " " << k;
                }
}

TEST(SoundEffects, EachFollowsItsFormulaAndPlaysFromItsOwnBuffer) {
    using W = Waveform;
    // Hz, seconds, wave, samples, volume; in the order of SoundId.
    const std::tuple<float, float, W, std::size_t, float> rows[] = {
        {440, 0.06f, W::Sine, 2646, 60}, {280, 0.05f, W::Sine, 2205, 40}, {120, 0.25f, W::NoisySquare, 11025, 80},
        {523, 0.5f, W::RisingSine, 22050, 90}, {80, 0.4f, W::NoisySquare, 17640, 70}};
    Game game{NoWindow{}};
    EXPECT_FALSE(game.font.getInfo().family.empty());  // and the game starts with the system's font
    for (std::size_t k = 0; k < 5; ++k) {
        const auto [hz, seconds, wave, samples, volume] = rows[k];
        SCOPED_TRACE(hz);
        EXPECT_EQ(game.soundBuffers[k].getSampleCount(), samples);
        ASSERT_TRUE(game.sounds[k].has_value());
        EXPECT_EQ(address(game.sounds[k]->getBuffer()), &game.soundBuffers[k]);
        EXPECT_FLOAT_EQ(game.sounds[k]->getVolume(), volume);

        seedRandom(1234);
        std::vector<int> draws(samples + 1);
        std::generate(draws.begin(), draws.end(), drawRandom);
        seedRandom(1234);
        const std::vector<std::int16_t> tone = toneSamples(hz, seconds, wave);
        ASSERT_EQ(tone.size(), samples);
        const bool noisy = wave == W::NoisySquare;
        EXPECT_EQ(drawRandom(), draws[noisy ? samples : 0]) << "one draw per noisy sample";
        // Step by step in single precision; past 16 bits a sample pins to the
        // limit rather than wrapping, and only the noisy square gets there.
        int mismatches = 0, pinned = 0;
        for (std::size_t i = 0; i < samples; ++i) {
            const float t = static_cast<float>(i) / 44100.f, p = t / seconds;
            const float f = wave == W::RisingSine ? hz * 0.5f * p + hz : hz;
            const float v = noisy ? draws[i] / 32767.f * 0.6f - 0.3f + (std::sin((1.f - p * 0.8f) * hz * 6.28318f * t) > 0.f ? 1.f : -1.f)
                                  : std::sin(f * 6.28318f * t);
            const int want = int(std::clamp(v * (1.f - p) * 28000.f, -32768.f, 32767.f));
            mismatches += tone[i] != want;
            pinned += tone[i] == 32767 || tone[i] == -32768;
        }
        EXPECT_TRUE(mismatches == 0 && (pinned > 0) == noisy) << mismatches << " " << pinned;
    }
    // Worked by hand: sample 25 of the 440 Hz sine, sin(440 * 2pi * 25 / 44100)
    // = 0.99999 at envelope 1 - 25 / 2646, about 27735; halfway through the
    // rising sine, sin(653.75 * 6.28318 * 0.25) * 14000, about 5369.
    EXPECT_NEAR(toneSamples(440.f, 0.06f, W::Sine)[25], 27735, 3);
    EXPECT_NEAR(toneSamples(523.f, 0.5f, W::RisingSine)[11025], 5369, 3);
    // 0.00004 s is 1.764 samples: the fraction is dropped, not rounded.
    EXPECT_EQ(toneSamples(300.f, 0.00004f, W::Sine).size(), 1u);
}

TEST(FrameLoop, CapsTheStepAndHoldsThePausedBall) {
    testing_support::Harness h;
    // A 0.2 s frame advances everything by exactly 0.05 s.
    h.game.cheerTimer = 1.f;
    h.game.runFrame(0.2f);
    EXPECT_EQ(std::vector<float>({h.game.animTime, h.game.paddleGlowPhase, h.game.cheerTimer}),
              std::vector<float>({0.05f * 0.4f, 0.05f * 3.f, 0.95f}));
    // Paused: the ball stays where it is.
    h.flyUnder(h.game.bricks[0]);
    h.game.state = GameState::Paused;
    const sf::Vector2f at = h.game.ball.getPosition();
    h.game.runFrame(0.01f);
    EXPECT_EQ(h.game.ball.getPosition(), at);
    h.press(Key::Escape);
    h.game.runFrame(0.f);
}

TEST(FrameLoop, DrawsWithoutAFontAndReadsTheRealPointer) {
    SKIP_WITHOUT_SCREEN();
    testing_support::Harness h(true);
    // Without a font the pages still draw, wordless (SFML 3 used to stop the
    // program there).
    h.game.font = sf::Font();
    h.game.state = GameState::Paused;
    h.game.runFrame(0.01f);
    // A real pointer move reaches the game through the window's own queue.
    sf::Mouse::setPosition({300, 480}, *h.game.window);
    for (int i = 0; i < 200 && h.game.paddle.getPosition().x != 300.f; ++i)
        h.game.runFrame(0.f);
    EXPECT_EQ(h.game.paddle.getPosition().x, 300.f);
}
