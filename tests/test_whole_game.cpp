// Whole games driven the way a player would: a perfect run through all five
// levels to the high-score table, and a game lost ball by ball.
#include "PlayHarness.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using play_tests::Harness;
using Key = sf::Keyboard::Key;

namespace {

// Breaks every brick of the level by putting the ball just under the first
// live one, moving up, frame after frame. Returns the frames it took.
int clearLevel(Harness& h) {
    int frames = 0;
    while (h.game.state == GameState::Playing && frames < 500) {
        const auto target = std::find_if(h.game.bricks.begin(), h.game.bricks.end(),
                                         [](const Brick& brick) { return brick.alive; });
        if (target == h.game.bricks.end())
            break;
        const compat::Box box = compat::toBox(target->shape.getGlobalBounds());
        h.game.ball.setPosition({box.left + box.width * 0.5f, box.bottom() + 8.f});
        h.game.ballVelocity = {0.f, -500.f};
        h.game.update(0.f);
        ++frames;
    }
    return frames;
}

}  // namespace

TEST(PlayWholeGame, PerfectRunScores8950AndEntersTheTable) {
    Harness h;
    const int bricksPerLevel[] = {60, 60, 45, 45, 30};
    const int hitsPerLevel[] = {63, 72, 54, 54, 37};
    const int pointsPerLevel[] = {660, 1680, 1890, 2520, 2200};

    h.press(Key::Space);
    ASSERT_EQ(h.game.state, GameState::Playing);
    int expectedScore = 0;
    for (int level = 1; level <= 5; ++level) {
        SCOPED_TRACE(level);
        ASSERT_EQ(h.game.level, level);
        ASSERT_EQ(h.game.bricks.size(), static_cast<std::size_t>(bricksPerLevel[level - 1]));
        EXPECT_EQ(h.game.lives, 3);

        // The resting ball rides the paddle until launched.
        h.moveMouse(200 + 100 * level);
        h.game.update(0.016f);
        EXPECT_FALSE(h.game.ballLaunched);
        EXPECT_FLOAT_EQ(h.game.ball.getPosition().x, 200.f + 100.f * level);
        h.press(Key::Space);
        ASSERT_TRUE(h.game.ballLaunched);
        const sf::Vector2f v = h.game.ballVelocity;
        EXPECT_NEAR(std::hypot(v.x, v.y), level * 65.0 + 380.0, 0.01);

        h.sounds.clear();
        const int frames = clearLevel(h);
        EXPECT_EQ(frames, hitsPerLevel[level - 1]);
        expectedScore += pointsPerLevel[level - 1];
        EXPECT_EQ(h.game.score, expectedScore);
        EXPECT_EQ(h.count(SoundId::Break), static_cast<std::size_t>(bricksPerLevel[level - 1]));
        EXPECT_EQ(h.count(SoundId::Hit),
                  static_cast<std::size_t>(hitsPerLevel[level - 1] - bricksPerLevel[level - 1]));
        ASSERT_GE(h.sounds.size(), 2u);
        EXPECT_EQ(h.sounds[h.sounds.size() - 2], SoundId::Break);
        EXPECT_EQ(h.sounds.back(), SoundId::LevelClear);
        EXPECT_EQ(h.count(SoundId::LevelClear), 1u);
        EXPECT_EQ(h.game.level, level + 1);
        if (level == 5)
            break;

        ASSERT_EQ(h.game.state, GameState::LevelIntro);
        EXPECT_EQ(h.game.bestScore, 0);
        h.press(Key::Space);  // too early
        EXPECT_EQ(h.game.state, GameState::LevelIntro);
        int waited = 0;
        while (h.game.introCountdown > 0.f && waited < 100) {
            h.game.update(0.05f);
            ++waited;
        }
        EXPECT_GE(waited, 60);
        EXPECT_LE(waited, 61);
        EXPECT_EQ(h.game.state, GameState::LevelIntro);  // waits for the player
        h.press(Key::Space);
        ASSERT_EQ(h.game.state, GameState::Playing);
    }

    EXPECT_EQ(h.game.score, 8950);
    EXPECT_EQ(h.game.level, 6);
    EXPECT_EQ(h.game.state, GameState::GameOver);
    EXPECT_EQ(h.game.bestScore, 8950);

    h.press(Key::Space);
    ASSERT_EQ(h.game.state, GameState::NameEntry);
    h.typeText("Isbj\xC3\xB8rn");  // the two bytes of the o-slash are dropped
    h.type(0xF8);
    EXPECT_EQ(h.game.nameInput, "Isbjrn");
    h.press(Key::Enter);
    EXPECT_EQ(h.game.state, GameState::HighScores);
    ASSERT_EQ(h.game.highScores.size(), 1u);
    EXPECT_EQ(h.game.highScores[0].name, "Isbjrn");
    EXPECT_EQ(h.game.highScores[0].score, 8950);
    EXPECT_EQ(testing_support::readFile(h.dir.path() / "tundrel_score.txt"), "8950 Isbjrn\n");

    h.press(Key::Escape);
    EXPECT_EQ(h.game.state, GameState::Title);
    EXPECT_TRUE(h.game.window.isOpen());
}

TEST(PlayWholeGame, ThreeLostBallsEndTheGame) {
    for (const int bestBefore : {0, 5000}) {
        SCOPED_TRACE(bestBefore);
        Harness h;
        h.game.bestScore = bestBefore;
        h.click(sf::Mouse::Button::Left);
        ASSERT_EQ(h.game.state, GameState::Playing);
        h.game.score = 340;  // as if some bricks had gone
        const std::size_t bricks = h.game.bricks.size();

        for (int ball = 1; ball <= 3; ++ball) {
            SCOPED_TRACE(ball);
            h.moveMouse(100);  // keep the paddle out of the way
            h.game.update(0.016f);
            h.click(sf::Mouse::Button::Left);
            ASSERT_TRUE(h.game.ballLaunched);
            // Send it straight down, clear of the paddle, and let it fall.
            h.game.ball.setPosition({1000.f, 600.f});
            h.game.ballVelocity = {0.f, 600.f};
            int frames = 0;
            while (h.game.ballLaunched && h.game.state == GameState::Playing && frames < 100) {
                h.game.update(0.05f);
                ++frames;
            }
            // 600 px/s from y = 600 passes y = 1010 in the fourteenth frame.
            EXPECT_EQ(frames, 14);
            EXPECT_EQ(h.game.lives, 3 - ball);
            EXPECT_EQ(h.count(SoundId::Lose), static_cast<std::size_t>(ball));
            EXPECT_EQ(h.game.score, 340);
            EXPECT_EQ(h.game.bricks.size(), bricks);
            EXPECT_FLOAT_EQ(h.game.cheerTimer, 2.f);
            if (ball < 3) {
                EXPECT_EQ(h.game.state, GameState::Playing);
                EXPECT_EQ(h.game.bestScore, bestBefore);
                EXPECT_FALSE(h.game.ballLaunched);
                EXPECT_FLOAT_EQ(h.game.ball.getPosition().x, 100.f);
            }
        }
        EXPECT_EQ(h.game.state, GameState::GameOver);
        EXPECT_EQ(h.game.lives, 0);
        EXPECT_EQ(h.game.bestScore, std::max(bestBefore, 340));
        EXPECT_EQ(h.game.level, 1);

        // The ball stays put on the result panel.
        const sf::Vector2f resting = h.game.ball.getPosition();
        h.game.update(0.05f);
        EXPECT_EQ(h.game.ball.getPosition(), resting);
        EXPECT_EQ(h.count(SoundId::Lose), 3u);
    }
}
