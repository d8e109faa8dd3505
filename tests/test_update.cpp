// Ball flight and collisions, scoring, lives and level progression: the pure
// collision arithmetic, then the same rules through Game::update.
#include "PlayHarness.hpp"

#include "gameplay/Cheers.hpp"
#include "gameplay/Collision.hpp"

#include <gtest/gtest.h>

#include <cmath>

using play_tests::Harness;
using play_tests::makeBrick;

namespace {

constexpr double kPi = 3.14159265358979;

bool isBrickCheer(const std::string& text) {
    return text == "Presist!" || text == "Bra skudd!" || text == "Iskaldt!" || text == "Knust!";
}
bool isLostCheer(const std::string& text) {
    return text == "Ikke gi opp!" || text == "Brimnor gir aldri opp!" ||
           text == "Pr\xC3\xB8v igjen!";
}

// The last `count` particles all sit at `at` in `color`.
void expectBurstAtEnd(const Game& game, std::size_t count, sf::Vector2f at, sf::Color color) {
    ASSERT_GE(game.particles.size(), count);
    for (std::size_t i = game.particles.size() - count; i < game.particles.size(); ++i) {
        EXPECT_FLOAT_EQ(game.particles[i].position.x, at.x);
        EXPECT_FLOAT_EQ(game.particles[i].position.y, at.y);
        EXPECT_EQ(game.particles[i].color, color);
    }
}

}  // namespace

TEST(PlayCollision, WallsAreJudgedOnOneReadingOfTheCentre) {
    using collision::bounceOffWalls;
    const float W = 1280.f;

    auto none = bounceOffWalls({11.f, 11.f}, {-100.f, -100.f}, W);  // touching is not crossing
    EXPECT_EQ(none.contacts, 0);
    EXPECT_EQ(none.position, sf::Vector2f(11.f, 11.f));
    EXPECT_EQ(none.velocity, sf::Vector2f(-100.f, -100.f));

    auto left = bounceOffWalls({5.f, 400.f}, {-200.f, 50.f}, W);
    EXPECT_EQ(left.contacts, 1);
    EXPECT_EQ(left.position, sf::Vector2f(11.f, 400.f));
    EXPECT_EQ(left.velocity, sf::Vector2f(200.f, 50.f));

    // Already moving away: the sign is forced, not flipped.
    auto leftAway = bounceOffWalls({5.f, 400.f}, {30.f, 50.f}, W);
    EXPECT_EQ(leftAway.velocity, sf::Vector2f(30.f, 50.f));

    auto right = bounceOffWalls({1275.f, 400.f}, {200.f, 50.f}, W);
    EXPECT_EQ(right.contacts, 1);
    EXPECT_EQ(right.position, sf::Vector2f(1269.f, 400.f));
    EXPECT_EQ(right.velocity, sf::Vector2f(-200.f, 50.f));

    auto top = bounceOffWalls({600.f, 3.f}, {20.f, -300.f}, W);
    EXPECT_EQ(top.contacts, 1);
    EXPECT_EQ(top.position, sf::Vector2f(600.f, 11.f));
    EXPECT_EQ(top.velocity, sf::Vector2f(20.f, 300.f));

    // In a corner both walls count, and the top correction, made from the
    // same reading, puts x back to where it was.
    auto corner = bounceOffWalls({4.f, 6.f}, {-200.f, -300.f}, W);
    EXPECT_EQ(corner.contacts, 2);
    EXPECT_EQ(corner.position, sf::Vector2f(4.f, 11.f));
    EXPECT_EQ(corner.velocity, sf::Vector2f(200.f, 300.f));

    // No floor.
    EXPECT_EQ(bounceOffWalls({600.f, 2000.f}, {0.f, 300.f}, W).contacts, 0);

    EXPECT_FALSE(collision::isBelowLostLine({600.f, 1010.f}, 960.f));
    EXPECT_TRUE(collision::isBelowLostLine({600.f, 1010.001f}, 960.f));
    EXPECT_FALSE(collision::isBelowLostLine({600.f, 1130.f}, 1080.f));
}

TEST(PlayCollision, PaddleBounceKeepsTheSpeedAndAimsByTheHitPoint) {
    const sf::Vector2f v{300.f, 400.f};  // speed 500
    const double s = 500.0;
    const double s65 = std::sin(65.0 * kPi / 180.0), c65 = std::cos(65.0 * kPi / 180.0);
    const double s325 = std::sin(32.5 * kPi / 180.0), c325 = std::cos(32.5 * kPi / 180.0);
    struct Case {
        float offset;
        double vx;
        double vy;
    };
    const Case cases[] = {
        {0.f, 0.0, -s},
        {32.5f, s325 * s, -c325 * s},
        {-32.5f, -s325 * s, -c325 * s},
        {65.f, s65 * s, -c65 * s},
        {100.f, s65 * s, -c65 * s},
        {-65.f, -s65 * s, -c65 * s},
        {-400.f, -s65 * s, -c65 * s},
    };
    for (const Case& c : cases) {
        const sf::Vector2f out = collision::paddleBounceVelocity(640.f + c.offset, 640.f, v);
        EXPECT_NEAR(out.x, c.vx, 0.01) << c.offset;
        EXPECT_NEAR(out.y, c.vy, 0.01) << c.offset;
    }
    // The figures quoted for the two offsets.
    EXPECT_NEAR(s65, 0.9063, 1e-4);
    EXPECT_NEAR(c65, 0.4226, 1e-4);
    EXPECT_NEAR(s325, 0.5373, 1e-4);
    EXPECT_NEAR(c325, 0.8434, 1e-4);
}

TEST(PlayCollision, BrickFaceChoice) {
    using collision::reflectOffBrick;
    const compat::Box brick{103.5f, 283.5f, 103.f, 35.f};  // the brick at (105, 285)

    // Bottom face: dL 57.5, dR 67.5, dT 52.5, dB 4.5.
    const collision::Penetration d = collision::penetration(brick, {150.f, 325.f});
    EXPECT_FLOAT_EQ(d.left, 57.5f);
    EXPECT_FLOAT_EQ(d.right, 67.5f);
    EXPECT_FLOAT_EQ(d.top, 52.5f);
    EXPECT_FLOAT_EQ(d.bottom, 4.5f);
    EXPECT_EQ(reflectOffBrick(brick, {150.f, 325.f}, {80.f, -300.f}), sf::Vector2f(80.f, 300.f));

    // Side face: dL 2.5, dR 122.5, dT 27.5, dB 29.5.
    EXPECT_EQ(reflectOffBrick(brick, {95.f, 300.f}, {300.f, 40.f}), sf::Vector2f(-300.f, 40.f));
    // The right face sends it right.
    EXPECT_EQ(reflectOffBrick(brick, {215.f, 300.f}, {-300.f, 40.f}), sf::Vector2f(300.f, 40.f));
    // The top face sends it up.
    EXPECT_EQ(reflectOffBrick(brick, {150.f, 275.f}, {10.f, 300.f}), sf::Vector2f(10.f, -300.f));

    const compat::Box box{0.f, 0.f, 100.f, 30.f};
    // mX == mY (6 each, at the top-left corner): the vertical component turns,
    // and dB > dT sends it up.
    EXPECT_EQ(reflectOffBrick(box, {-5.f, -5.f}, {100.f, 100.f}), sf::Vector2f(100.f, -100.f));
    // dT == dB (26 each), mX larger: vy comes out positive.
    EXPECT_EQ(reflectOffBrick(box, {50.f, 15.f}, {30.f, -40.f}), sf::Vector2f(30.f, 40.f));
    // dL == dR (61 each) in a tall box, so the side is met: vx comes out positive.
    const compat::Box tall{0.f, 0.f, 100.f, 200.f};
    EXPECT_EQ(reflectOffBrick(tall, {50.f, 100.f}, {-100.f, 50.f}), sf::Vector2f(100.f, 50.f));
}

TEST(PlayCheers, ListsAndChoiceByRemainder) {
    EXPECT_EQ(cheers::brickBroken(0), "Presist!");
    EXPECT_EQ(cheers::brickBroken(1), "Bra skudd!");
    EXPECT_EQ(cheers::brickBroken(6), "Iskaldt!");
    EXPECT_EQ(cheers::brickBroken(32767), "Knust!");
    EXPECT_EQ(cheers::ballLost(0), "Ikke gi opp!");
    EXPECT_EQ(cheers::ballLost(4), "Brimnor gir aldri opp!");
    EXPECT_EQ(cheers::ballLost(5), "Pr\xC3\xB8v igjen!");
    EXPECT_EQ(cheers::ballLost(5).size(), 12u);
    EXPECT_EQ(cheers::ballLost(32767), "Brimnor gir aldri opp!");
}

TEST(PlayFlight, RestingBallFollowsThePaddleOnlyWhilePlaying) {
    Harness h;
    h.game.state = GameState::Playing;
    h.moveMouse(300);
    h.game.update(0.016f);
    EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(300.f, 859.f));

    h.game.state = GameState::Paused;
    h.moveMouse(900);
    h.game.update(0.016f);
    EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(300.f, 859.f));

    // A flying ball stands still on every page but the playfield.
    for (const GameState state : {GameState::Title, GameState::Paused, GameState::GameOver,
                                  GameState::NameEntry, GameState::HighScores,
                                  GameState::LevelIntro}) {
        h.fly({500.f, 600.f}, {100.f, -200.f});
        h.game.state = state;
        h.game.update(0.05f);
        EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(500.f, 600.f));
    }
    EXPECT_TRUE(h.sounds.empty());

    // And moves by v * dt while playing.
    h.fly({500.f, 600.f}, {100.f, -200.f});
    h.game.update(0.05f);
    EXPECT_FLOAT_EQ(h.game.ball.getPosition().x, 505.f);
    EXPECT_FLOAT_EQ(h.game.ball.getPosition().y, 590.f);
}

TEST(PlayFlight, WallsBounceWithSparksAndSound) {
    Harness h;
    h.fly({500.f, 600.f}, {-200.f, 100.f});
    h.game.ball.setPosition({15.f, 600.f});
    h.game.update(0.05f);  // to x = 5
    EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(11.f, 605.f));
    EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(200.f, 100.f));
    EXPECT_EQ(h.sounds, std::vector<SoundId>{SoundId::Wall});
    ASSERT_EQ(h.game.particles.size(), 6u);
    for (const Particle& spark : h.game.particles) {
        EXPECT_EQ(spark.color, Palette::IceBlue);
        // Spawned at (5, 605), then carried one update by their own velocity.
        EXPECT_NEAR(spark.position.x, 5.f + spark.velocity.x / 0.9f * 0.05f, 1e-3);
        EXPECT_NEAR(spark.position.y, 605.f + spark.velocity.y / 0.9f * 0.05f, 1e-3);
    }

    h.sounds.clear();
    h.game.particles.clear();
    h.fly({1270.f, 4.f}, {300.f, -300.f});
    h.game.update(0.f);
    EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(1270.f, 11.f));
    EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(-300.f, 300.f));
    EXPECT_EQ(h.sounds, (std::vector<SoundId>{SoundId::Wall, SoundId::Wall}));
    EXPECT_EQ(h.game.particles.size(), 12u);
    expectBurstAtEnd(h.game, 12, {1270.f, 4.f}, Palette::IceBlue);
}

TEST(PlayFlight, BallIsLostOnlyPastTheLine) {
    Harness h;
    h.game.lives = 3;
    h.game.score = 120;
    h.game.paddle.setPosition({300.f, 890.f});
    h.fly({900.f, 1010.f}, {0.f, 0.f});
    h.game.update(0.f);
    EXPECT_TRUE(h.game.ballLaunched);
    EXPECT_EQ(h.game.lives, 3);
    EXPECT_TRUE(h.sounds.empty());

    h.game.cheerTimer = 0.5f;
    h.fly({900.f, 1010.5f}, {10.f, 400.f});
    h.game.update(0.f);
    EXPECT_EQ(h.game.lives, 2);
    EXPECT_EQ(h.game.state, GameState::Playing);
    EXPECT_EQ(h.game.score, 120);
    EXPECT_FALSE(h.game.ballLaunched);
    EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(300.f, 859.f));
    EXPECT_EQ(h.sounds, std::vector<SoundId>{SoundId::Lose});
    EXPECT_EQ(h.game.particles.size(), 40u);
    expectBurstAtEnd(h.game, 40, {900.f, 1010.5f}, Palette::Red);
    EXPECT_TRUE(isLostCheer(h.game.cheerText)) << h.game.cheerText;
    EXPECT_FLOAT_EQ(h.game.cheerTimer, 2.f);
    EXPECT_EQ(h.game.bestScore, 0);
}

TEST(PlayFlight, PaddleBouncesOnlyBallsOnTheirWayDown) {
    const double s65 = std::sin(65.0 * kPi / 180.0), c65 = std::cos(65.0 * kPi / 180.0);
    const double s325 = std::sin(32.5 * kPi / 180.0), c325 = std::cos(32.5 * kPi / 180.0);
    struct Case {
        float offset;
        double vx;  // per unit of speed
        double vy;
    };
    for (const Case& c : {Case{0.f, 0.0, -1.0}, Case{32.5f, s325, -c325}, Case{65.f, s65, -c65},
                          Case{75.f, s65, -c65}, Case{-72.f, -s65, -c65}}) {
        SCOPED_TRACE(c.offset);
        Harness h;
        ASSERT_EQ(h.game.paddle.getPosition(), sf::Vector2f(640.f, 890.f));
        h.game.paddleGlowPhase = 1.25f;
        const sf::Vector2f p{640.f + c.offset, 870.f};  // box bottom below the paddle top (879)
        h.fly(p, {-240.f, 320.f});                     // speed 400
        h.game.update(0.f);
        EXPECT_NEAR(h.game.ballVelocity.x, c.vx * 400.0, 0.01);
        EXPECT_NEAR(h.game.ballVelocity.y, c.vy * 400.0, 0.01);
        EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(p.x, 868.f));
        EXPECT_EQ(h.sounds, std::vector<SoundId>{SoundId::Hit});
        EXPECT_EQ(h.game.particles.size(), 8u);
        expectBurstAtEnd(h.game, 8, p, Palette::Teal);
        EXPECT_FLOAT_EQ(h.game.paddleGlowPhase, 0.f);
    }
    {
        SCOPED_TRACE("on its way up");
        Harness h;
        h.fly({650.f, 885.f}, {50.f, -300.f});
        h.game.update(0.f);
        EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(50.f, -300.f));
        EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(650.f, 885.f));
        EXPECT_TRUE(h.sounds.empty());
        EXPECT_TRUE(h.game.particles.empty());
    }
    {
        SCOPED_TRACE("just clear of the paddle");
        Harness h;
        h.fly({640.f, 860.f}, {0.f, 300.f});  // box bottom about 873, paddle top 879
        h.game.update(0.f);
        EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(0.f, 300.f));
        EXPECT_TRUE(h.sounds.empty());
    }
}

TEST(PlayBricks, FaceChoiceAndOneBrickPerFrame) {
    Harness h;
    const Brick far = makeBrick({900.f, 100.f});  // keeps the level from ending
    {
        SCOPED_TRACE("bottom face");
        h.game.bricks = {makeBrick({105.f, 285.f}), far};
        h.fly({150.f, 325.f}, {60.f, -300.f});
        h.game.update(0.f);
        EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(60.f, 300.f));
        EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(150.f, 325.f));
        EXPECT_FALSE(h.game.bricks[0].alive);
    }
    {
        SCOPED_TRACE("side face");
        h.game.bricks = {makeBrick({105.f, 285.f}), far};
        h.fly({95.f, 300.f}, {300.f, -60.f});
        h.game.update(0.f);
        EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(-300.f, -60.f));
        EXPECT_FALSE(h.game.bricks[0].alive);
    }
    {
        SCOPED_TRACE("two bricks touched: the first in the list only");
        h.sounds.clear();
        h.game.bricks = {makeBrick({105.f, 285.f}, 1, 10), makeBrick({212.f, 285.f}, 1, 20), far};
        h.game.score = 0;
        h.fly({209.f, 325.f}, {0.f, -300.f});
        h.game.update(0.f);
        EXPECT_FALSE(h.game.bricks[0].alive);
        EXPECT_TRUE(h.game.bricks[1].alive);
        EXPECT_EQ(h.game.bricks[1].hitPoints, 1);
        EXPECT_EQ(h.game.score, 10);
        h.game.update(0.f);  // the other one's turn
        EXPECT_FALSE(h.game.bricks[1].alive);
        EXPECT_EQ(h.game.score, 30);
        EXPECT_EQ(h.sounds, (std::vector<SoundId>{SoundId::Break, SoundId::Break}));
    }
    {
        SCOPED_TRACE("broken bricks are passed over");
        h.game.bricks = {makeBrick({105.f, 285.f}), far};
        h.game.bricks[0].alive = false;
        h.fly({150.f, 325.f}, {0.f, -300.f});
        h.game.update(0.f);
        EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(0.f, -300.f));
        EXPECT_EQ(h.game.bricks[0].hitPoints, 1);
    }
}

TEST(PlayBricks, ReinforcedBrickCracksThenBreaks) {
    Harness h;
    h.game.score = 100;
    h.game.bricks = {makeBrick({105.f, 285.f}, 2, 60, Palette::IceBlue),
                     makeBrick({900.f, 100.f})};
    h.fly({150.f, 325.f}, {0.f, -300.f});
    h.game.update(0.f);
    const Brick& brick = h.game.bricks[0];
    EXPECT_TRUE(brick.alive);
    EXPECT_EQ(brick.hitPoints, 1);
    EXPECT_EQ(brick.shape.getFillColor(), sf::Color(100, 80, 20, 220));
    EXPECT_EQ(brick.color, Palette::IceBlue);
    EXPECT_EQ(h.game.score, 100);
    EXPECT_EQ(h.sounds, std::vector<SoundId>{SoundId::Hit});
    EXPECT_EQ(h.game.particles.size(), 8u);
    expectBurstAtEnd(h.game, 8, {155.f, 300.f}, Palette::Amber);
    EXPECT_TRUE(h.game.cheerText.empty());  // a crack brings no cheer

    h.fly({150.f, 325.f}, {0.f, -300.f});
    h.game.update(0.f);
    EXPECT_FALSE(brick.alive);
    EXPECT_EQ(brick.hitPoints, 0);
    EXPECT_EQ(h.game.score, 160);
    EXPECT_EQ(h.sounds, (std::vector<SoundId>{SoundId::Hit, SoundId::Break}));
    EXPECT_EQ(h.game.particles.size(), 30u);
    expectBurstAtEnd(h.game, 22, {155.f, 300.f}, Palette::IceBlue);
    EXPECT_TRUE(isBrickCheer(h.game.cheerText)) << h.game.cheerText;
    EXPECT_FLOAT_EQ(h.game.cheerTimer, 2.f);
    EXPECT_EQ(h.game.state, GameState::Playing);
}

TEST(PlayLevels, LastBrickClearsTheLevel) {
    for (const int level : {1, 4, 5}) {
        SCOPED_TRACE(level);
        Harness h;
        h.game.level = level;
        h.game.score = 500;
        h.game.bestScore = 520;
        h.game.bricks = {makeBrick({105.f, 285.f}, 1, 50, Palette::Violet)};
        h.fly({150.f, 325.f}, {0.f, -300.f});
        h.game.update(0.f);
        EXPECT_EQ(h.game.score, 550);
        EXPECT_EQ(h.sounds, (std::vector<SoundId>{SoundId::Break, SoundId::LevelClear}));
        ASSERT_EQ(h.game.particles.size(), 122u);
        for (std::size_t i = 0; i < 22; ++i) {
            EXPECT_EQ(h.game.particles[i].position, sf::Vector2f(155.f, 300.f));
            EXPECT_EQ(h.game.particles[i].color, Palette::Violet);
        }
        expectBurstAtEnd(h.game, 100, {640.f, 480.f}, Palette::Teal);
        EXPECT_EQ(h.game.level, level + 1);
        if (level < 5) {
            EXPECT_EQ(h.game.state, GameState::LevelIntro);
            EXPECT_FLOAT_EQ(h.game.introCountdown, 3.f);
            EXPECT_EQ(h.game.bestScore, 520);  // only a game's end raises it
            EXPECT_EQ(h.game.bricks.size(), 1u);  // rebuilt when the intro is left
        } else {
            EXPECT_EQ(h.game.state, GameState::GameOver);
            EXPECT_EQ(h.game.bestScore, 550);
        }
    }
    {
        SCOPED_TRACE("an empty list counts as cleared");
        Harness h;
        h.game.level = 2;
        h.game.bricks.clear();
        h.fly({640.f, 500.f}, {0.f, -300.f});
        h.game.update(0.f);
        EXPECT_EQ(h.sounds, std::vector<SoundId>{SoundId::LevelClear});
        EXPECT_EQ(h.game.level, 3);
        EXPECT_EQ(h.game.state, GameState::LevelIntro);
    }
}
