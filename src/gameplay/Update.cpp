#include "app/Game.hpp"

#include "app/Random.hpp"
#include "gameplay/Cheers.hpp"
#include "gameplay/Collision.hpp"

#include <algorithm>

namespace {

constexpr int kWallBurst = 6;
constexpr int kLostBurst = 40;
constexpr int kPaddleBurst = 8;
constexpr int kCrackBurst = 8;
constexpr int kBreakBurst = 22;
constexpr int kLevelClearBurst = 100;
const sf::Vector2f kBrickCentre{kBrickWidth * 0.5f, kBrickHeight * 0.5f};

void endGame(Game& game) {
    game.bestScore = std::max(game.bestScore, game.score);
    game.state = GameState::GameOver;
}

void bounceOffWalls(Game& game, float width) {
    const sf::Vector2f p = game.ball.getPosition();
    const collision::WallBounce bounce = collision::bounceOffWalls(p, game.ballVelocity, width);
    if (bounce.contacts == 0)
        return;
    game.ball.setPosition(bounce.position);
    game.ballVelocity = bounce.velocity;
    for (int i = 0; i < bounce.contacts; ++i) {
        game.spawnParticles(p, Palette::IceBlue, kWallBurst);
        game.playSound(SoundId::Wall);
    }
}

void checkLostBall(Game& game, float height) {
    const sf::Vector2f p = game.ball.getPosition();
    if (!collision::isBelowLostLine(p, height))
        return;
    game.lives -= 1;
    game.spawnParticles(p, Palette::Red, kLostBurst);
    game.playSound(SoundId::Lose);
    game.cheerText = cheers::ballLost(drawRandom());
    game.cheerTimer = kCheerSeconds;
    if (game.lives > 0)
        game.seatBall();
    else
        endGame(game);
}

void bounceOffPaddle(Game& game) {
    const sf::Vector2f p = game.ball.getPosition();
    const sf::Vector2f q = game.paddle.getPosition();
    const sf::FloatRect paddleBounds = game.paddle.getGlobalBounds();
    // A ball on its way up passes through the paddle.
    if (game.ballVelocity.y <= 0.f ||
        !collision::boxesTouch(game.ball.getGlobalBounds(), paddleBounds))
        return;
    game.ballVelocity = collision::paddleBounceVelocity(p.x, q.x, game.ballVelocity);
    game.ball.setPosition({p.x, compat::toBox(paddleBounds).top - kBallRadius});
    game.spawnParticles(p, Palette::Teal, kPaddleBurst);
    game.paddleGlowPhase = 0.f;
    game.playSound(SoundId::Hit);
}

void hitBrick(Game& game) {
    const sf::Vector2f p = game.ball.getPosition();
    const sf::FloatRect ballBounds = game.ball.getGlobalBounds();
    for (Brick& brick : game.bricks) {
        if (!brick.alive)
            continue;
        const sf::FloatRect brickBounds = brick.shape.getGlobalBounds();
        if (!collision::boxesTouch(ballBounds, brickBounds))
            continue;

        game.ballVelocity =
            collision::reflectOffBrick(compat::toBox(brickBounds), p, game.ballVelocity);
        brick.hitPoints -= 1;
        const sf::Vector2f centre = brick.shape.getPosition() + kBrickCentre;
        if (brick.hitPoints > 0) {
            brick.shape.setFillColor(kCrackedFillColor);
            game.spawnParticles(centre, Palette::Amber, kCrackBurst);
            game.playSound(SoundId::Hit);
        } else {
            brick.alive = false;
            game.score += brick.points;
            game.spawnParticles(centre, brick.color, kBreakBurst);
            game.playSound(SoundId::Break);
            game.cheerText = cheers::brickBroken(drawRandom());
            game.cheerTimer = kCheerSeconds;
        }
        return;  // one brick per frame; a second one waits for the next
    }
}

void checkLevelCleared(Game& game, sf::Vector2f size) {
    const bool anyAlive = std::any_of(game.bricks.begin(), game.bricks.end(),
                                      [](const Brick& brick) { return brick.alive; });
    if (anyAlive)
        return;
    game.playSound(SoundId::LevelClear);
    game.spawnParticles({size.x * 0.5f, size.y * 0.5f}, Palette::Teal, kLevelClearBurst);
    game.level += 1;
    if (game.level <= kLevelCount) {
        game.state = GameState::LevelIntro;
        game.introCountdown = kIntroSeconds;
    } else {
        // Level 6 marks a won game.
        endGame(game);
    }
}

void stepPlay(Game& game, float dt) {
    if (!game.ballLaunched) {
        // Resting on the paddle: go wherever it went.
        game.ball.setPosition(game.restingBallPosition());
        return;
    }
    game.ball.move({game.ballVelocity.x * dt, game.ballVelocity.y * dt});
    const sf::Vector2f size = game.frameSize();
    bounceOffWalls(game, size.x);
    checkLostBall(game, size.y);
    bounceOffPaddle(game);
    hitBrick(game);
    checkLevelCleared(game, size);
}

}  // namespace

void Game::update(float dt) {
    advanceFrameClocks(dt);
    if (state == GameState::Playing)
        stepPlay(*this, dt);
    updateParticles(dt);
}
