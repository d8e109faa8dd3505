// Round setup: the brick grid of every level, and paddle, ball and bricks as a
// real Game lays them out.
#include "app/Game.hpp"
#include "gameplay/Round.hpp"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

using Cell = std::pair<int, int>;   // row, column

std::set<Cell> reinforcedCells(const std::vector<BrickCell>& cells) {
    std::set<Cell> found;
    for (const BrickCell& cell : cells)
        if (cell.reinforced)
            found.insert({cell.row, cell.column});
    return found;
}

struct LevelTotals {
    int level, bricks, reinforced, hits, points;
};

}  // namespace

TEST(BrickLayout, TotalsOfEveryLevel) {
    const LevelTotals table[] = {
        {1, 60, 3, 63, 660},   {2, 60, 12, 72, 1680}, {3, 45, 9, 54, 1890},
        {4, 45, 9, 54, 2520},  {5, 30, 7, 37, 2200},
    };
    for (const LevelTotals& expected : table) {
        SCOPED_TRACE("level " + std::to_string(expected.level));
        const std::vector<BrickCell> cells = brickLayout(expected.level, 1280.f);
        int reinforced = 0, hits = 0, points = 0;
        for (const BrickCell& cell : cells) {
            reinforced += cell.reinforced ? 1 : 0;
            hits += cell.hitPoints;
            points += cell.points;
            EXPECT_EQ(cell.hitPoints, cell.reinforced ? 2 : 1);
            EXPECT_EQ(cell.points, (cell.reinforced ? 30 : 10) * expected.level);
            EXPECT_FALSE(cell.row % 2 == 1 && cell.reinforced) << "odd rows are never reinforced";
        }
        EXPECT_EQ(static_cast<int>(cells.size()), expected.bricks);
        EXPECT_EQ(reinforced, expected.reinforced);
        EXPECT_EQ(hits, expected.hits);
        EXPECT_EQ(points, expected.points);

        // Row-major build order, no cell twice.
        for (std::size_t i = 1; i < cells.size(); ++i)
            EXPECT_LT(Cell(cells[i - 1].row, cells[i - 1].column), Cell(cells[i].row, cells[i].column));
    }
}

TEST(BrickLayout, WhichCellsAreReinforcedOrSkipped) {
    EXPECT_EQ(reinforcedCells(brickLayout(1, 1280.f)), (std::set<Cell>{{0, 5}, {2, 5}, {4, 5}}));

    std::set<Cell> level2{{2, 5}, {4, 5}};
    for (int c = 0; c < 10; ++c)
        level2.insert({0, c});
    EXPECT_EQ(reinforcedCells(brickLayout(2, 1280.f)), level2);

    // Levels 3 and 4 differ only in points.
    const std::vector<BrickCell> level3 = brickLayout(3, 1280.f);
    const std::vector<BrickCell> level4 = brickLayout(4, 1280.f);
    ASSERT_EQ(level3.size(), level4.size());
    for (std::size_t i = 0; i < level3.size(); ++i) {
        EXPECT_EQ(level3[i].row, level4[i].row);
        EXPECT_EQ(level3[i].column, level4[i].column);
        EXPECT_EQ(level3[i].reinforced, level4[i].reinforced);
        EXPECT_NE((level3[i].row + level3[i].column) % 4, 0);
        EXPECT_EQ(level4[i].points, level3[i].reinforced ? 120 : 40);
    }
    // Row 0 of level 3 starts at column 1.
    EXPECT_EQ(level3.front().column, 1);

    const std::vector<BrickCell> level5 = brickLayout(5, 1280.f);
    EXPECT_EQ(reinforcedCells(level5),
              (std::set<Cell>{{0, 1}, {0, 3}, {0, 5}, {0, 7}, {0, 9}, {2, 5}, {4, 5}}));
    for (const BrickCell& cell : level5) {
        EXPECT_EQ((cell.row + cell.column) % 2, 1);
        EXPECT_EQ(cell.points, cell.reinforced ? 150 : 50);
    }
}

TEST(BrickLayout, PositionsAndColoursInTheNormalWindow) {
    const std::vector<BrickCell> cells = brickLayout(1, 1280.f);
    ASSERT_EQ(cells.size(), 60u);
    const float columnX[] = {105, 212, 319, 426, 533, 640, 747, 854, 961, 1068};
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(cells[static_cast<std::size_t>(c)].position, sf::Vector2f(columnX[c], 100.f));
    EXPECT_EQ(cells.back().position.x + 100.f, 1168.f);
    EXPECT_EQ(cells.back().position.y + 30.f, 315.f);
    EXPECT_EQ(cells[10].position.y, 137.f);

    // Row 1, ordinary: dimmed ice blue body, ice blue rim at 180.
    const BrickCell& ordinary = cells[10];
    EXPECT_EQ(ordinary.color, sf::Color(55, 138, 221, 255));
    EXPECT_EQ(ordinary.fillColor, sf::Color(13, 34, 55, 220));
    EXPECT_EQ(ordinary.outlineColor, sf::Color(55, 138, 221, 180));
    // Row 3 is amber; 240 / 4, 160 / 4, 48 / 4.
    EXPECT_EQ(cells[30].fillColor, sf::Color(60, 40, 12, 220));

    // Row 2, column 5: reinforced, yet it keeps the teal of its row.
    const BrickCell& reinforced = cells[25];
    ASSERT_TRUE(reinforced.reinforced);
    EXPECT_EQ(reinforced.color, sf::Color(29, 158, 117, 255));
    EXPECT_EQ(reinforced.fillColor, sf::Color(60, 50, 10, 220));
    EXPECT_EQ(reinforced.outlineColor, sf::Color(240, 160, 48, 255));

    // A window narrower than the grid puts it past the left edge.
    EXPECT_EQ(brickLayout(1, 1000.f).front().position.x, -35.f);
}

TEST(RoundReset, LaysOutPaddleBallAndBricksOfTheLevel) {
    Game game;
    ASSERT_EQ(game.window.getSize(), sf::Vector2u(1280, 960));
    EXPECT_EQ(game.paddle.getPosition(), sf::Vector2f(640.f, 890.f));
    EXPECT_EQ(game.paddle.getSize(), sf::Vector2f(130.f, 18.f));
    EXPECT_EQ(game.paddle.getOrigin(), sf::Vector2f(65.f, 9.f));
    EXPECT_EQ(game.paddle.getOutlineColor(), sf::Color(100, 230, 180, 180));
    EXPECT_EQ(game.ball.getPosition(), sf::Vector2f(640.f, 859.f));
    EXPECT_EQ(game.ball.getRadius(), 11.f);
    EXPECT_EQ(game.ball.getOrigin(), sf::Vector2f(11.f, 11.f));
    EXPECT_EQ(game.ball.getOutlineThickness(), 1.5f);
    EXPECT_EQ(game.bricks.size(), 60u);

    game.paddle.setPosition({300.f, 500.f});
    EXPECT_EQ(game.restingBallPosition(), sf::Vector2f(300.f, 469.f));

    // A flying ball mid-level 3 with some bricks broken.
    game.level = 3;
    game.score = 1234;
    game.lives = 2;
    game.ballVelocity = {120.f, -300.f};
    game.ballLaunched = true;
    game.particles.resize(4);
    game.bricks[0].alive = false;
    game.resetRound();
    game.resetRound();

    EXPECT_EQ(game.paddle.getPosition(), sf::Vector2f(640.f, 890.f));
    EXPECT_EQ(game.ball.getPosition(), sf::Vector2f(640.f, 859.f));
    EXPECT_EQ(game.ballVelocity, sf::Vector2f(0.f, 0.f));
    EXPECT_FALSE(game.ballLaunched);
    EXPECT_EQ(game.level, 3);
    EXPECT_EQ(game.score, 1234);
    EXPECT_EQ(game.lives, 2);
    EXPECT_EQ(game.particles.size(), 4u);

    ASSERT_EQ(game.bricks.size(), 45u);
    const Brick& first = game.bricks.front();   // row 0, column 1, reinforced
    EXPECT_TRUE(first.alive);
    EXPECT_EQ(first.shape.getPosition(), sf::Vector2f(212.f, 100.f));
    EXPECT_EQ(first.shape.getSize(), sf::Vector2f(100.f, 30.f));
    EXPECT_EQ(first.shape.getOutlineThickness(), 1.5f);
    EXPECT_EQ(first.hitPoints, 2);
    EXPECT_EQ(first.points, 90);
    EXPECT_EQ(first.color, sf::Color(108, 92, 231, 255));
    EXPECT_EQ(first.shape.getFillColor(), sf::Color(60, 50, 10, 220));
    const Brick& last = game.bricks.back();     // row 5, column 9
    EXPECT_EQ(last.shape.getPosition(), sf::Vector2f(1068.f, 285.f));
    EXPECT_EQ(last.points, 30);
    EXPECT_EQ(last.shape.getFillColor(), sf::Color(27, 23, 57, 220));
    EXPECT_EQ(last.shape.getOutlineColor(), sf::Color(108, 92, 231, 180));
}
