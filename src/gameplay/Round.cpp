#include "gameplay/Round.hpp"

#include "app/Game.hpp"
#include "app/InputRules.hpp"
#include "gameplay/Collision.hpp"

#include <cmath>
#include <cstdint>

const std::array<sf::Color, kBrickRows> brickRowColors = {
    Palette::Violet, Palette::IceBlue, Palette::Teal,
    Palette::Amber,  Palette::IceBlue, Palette::Violet,
};

bool brickCellSkipped(int level, int row, int column) {
    const int diagonal = row + column;
    if (level >= 3 && diagonal % 4 == 0)
        return true;
    return level == 5 && diagonal % 2 == 0;
}

bool brickCellReinforced(int level, int row, int column) {
    return (column == 5 && row % 2 == 0) || (level >= 2 && row == 0);
}

sf::Color brickFillColor(sf::Color base) {
    return {static_cast<std::uint8_t>(base.r >> 2), static_cast<std::uint8_t>(base.g >> 2),
            static_cast<std::uint8_t>(base.b >> 2), 220};
}

sf::Color brickOutlineColor(sf::Color base) { return withAlpha(base, 180); }

float brickColumnLeft(int column, float windowWidth) {
    // No clamping: a window narrower than the grid pushes it past the left edge.
    const float left = (windowWidth - kBrickGridWidth) * 0.5f;
    return static_cast<float>(column) * kBrickPitchX + left;
}

int brickColumnAt(float x, float windowWidth) {
    const float left = (windowWidth - kBrickGridWidth) * 0.5f;
    return static_cast<int>(std::lround((x - left) / kBrickPitchX));
}

std::vector<BrickCell> brickLayout(int level, float windowWidth) {
    std::vector<BrickCell> cells;
    for (int row = 0; row < kBrickRows; ++row) {
        for (int column = 0; column < kBrickColumns; ++column) {
            if (brickCellSkipped(level, row, column))
                continue;
            BrickCell cell;
            cell.row = row;
            cell.column = column;
            cell.position = {brickColumnLeft(column, windowWidth),
                             static_cast<float>(row) * kBrickPitchY + kBrickGridTop};
            cell.color = brickRowColors[static_cast<std::size_t>(row)];
            cell.reinforced = brickCellReinforced(level, row, column);
            if (cell.reinforced) {
                cell.hitPoints = kReinforcedHitPoints;
                cell.points = kReinforcedPointsPerLevel * level;
                cell.fillColor = kReinforcedFillColor;
                cell.outlineColor = kReinforcedOutlineColor;
            } else {
                cell.hitPoints = kBrickHitPoints;
                cell.points = kBrickPointsPerLevel * level;
                cell.fillColor = brickFillColor(cell.color);
                cell.outlineColor = brickOutlineColor(cell.color);
            }
            cells.push_back(cell);
        }
    }
    return cells;
}

sf::Vector2f restingBallPositionAbove(sf::Vector2f paddleCentre) {
    // Three separate steps, so every caller lands on the very same float.
    float y = paddleCentre.y - kPaddleHeight;
    y -= kBallRadius;
    y -= kBallRestGap;
    return {paddleCentre.x, y};
}

sf::Vector2f Game::restingBallPosition() const {
    return restingBallPositionAbove(paddle.getPosition());
}

void Game::seatBall() {
    ball.setPosition(restingBallPosition());
    ballVelocity = {0.f, 0.f};
    ballLaunched = false;
}

void Game::resetRound() {
    const float width = frameSize().x;
    const float height = frameSize().y;

    paddle.setSize({kPaddleWidth, kPaddleHeight});
    paddle.setOrigin({kPaddleWidth * 0.5f, kPaddleHeight * 0.5f});
    paddle.setPosition({width * 0.5f, height - kPaddleBottomGap});
    paddle.setFillColor(Palette::Teal);
    paddle.setOutlineThickness(kPaddleOutlineThickness);
    paddle.setOutlineColor(kPaddleOutlineColor);

    ball.setRadius(kBallRadius);
    ball.setOrigin({kBallRadius, kBallRadius});
    ball.setFillColor(Palette::Frost);
    ball.setOutlineThickness(kBallOutlineThickness);
    ball.setOutlineColor(kBallOutlineColor);
    seatBall();

    buildBricks();
}

void Game::buildBricks() {
    bricks.clear();
    const std::vector<BrickCell> cells =
        brickLayout(level, frameSize().x);
    for (const BrickCell& cell : cells) {
        Brick brick;
        brick.shape.setSize({kBrickWidth, kBrickHeight});
        brick.shape.setPosition(cell.position);
        brick.shape.setFillColor(cell.fillColor);
        brick.shape.setOutlineThickness(kBrickOutlineThickness);
        brick.shape.setOutlineColor(cell.outlineColor);
        brick.color = cell.color;
        brick.alive = true;
        brick.points = cell.points;
        brick.hitPoints = cell.hitPoints;
        bricks.push_back(brick);
    }
}

void Game::fitPlayfieldToWindow(float oldWidth) {
    // A new window size must not strand bricks past a wall or the paddle
    // below the screen; rows keep their y, columns move with the centring.
    const float width = frameSize().x;
    const float height = frameSize().y;
    for (Brick& brick : bricks) {
        const sf::Vector2f position = brick.shape.getPosition();
        const int column = brickColumnAt(position.x, oldWidth);
        brick.shape.setPosition({brickColumnLeft(column, width), position.y});
    }
    paddle.setPosition({input_rules::clampPaddleX(paddle.getPosition().x, width),
                        height - kPaddleBottomGap});
    // A flying ball moves with the bricks and keeps its velocity: the rally
    // goes on. Where that place is no longer in the field, it starts again
    // from the paddle.
    const float shift = brickColumnLeft(0, width) - brickColumnLeft(0, oldWidth);
    const sf::Vector2f moved = ball.getPosition() + sf::Vector2f(shift, 0.f);
    if (ballLaunched && collision::ballInField(moved, width, paddle.getPosition().y))
        ball.setPosition(moved);
    else
        seatBall();
}
