// Draws every page of the game once and saves each as a PNG, for the README.
// Needs a display with a 1920 × 1080 screen for the wide shot (see
// tools/render-pages.sh, which runs it under Xvfb).
//
// Usage: tundrel_page_shots [output-folder]   (default docs/images)

#include "app/Game.hpp"
#include "app/Random.hpp"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

namespace fs = std::filesystem;

bool save(Game& game, const fs::path& folder, const std::string& name) {
    game.render();
    const sf::Image image = compat::captureWindow(game.window);
    const fs::path file = folder / (name + ".png");
    if (!image.saveToFile(file.string())) {
        std::cerr << "page_shots: could not write " << file.string() << "\n";
        return false;
    }
    std::cout << file.string() << " (" << image.getSize().x << "x" << image.getSize().y << ")\n";
    return true;
}

// Lets sparks fly apart for a while without moving anything else.
void settleSparks(Game& game, float seconds) {
    for (float t = 0.f; t < seconds; t += 1.f / 60.f)
        game.updateParticles(1.f / 60.f);
}

// Level 1 a little way in: a gap knocked into the grid, a reinforced brick
// cracked, the ball on its way up, a cheer just started.
void stagePlay(Game& game) {
    game.level = 1;
    game.score = 0;
    game.lives = 2;
    game.bestScore = 1240;
    game.resetRound();
    const int broken[] = {40, 41, 42, 50, 51, 52, 53, 31, 44, 54};
    for (int index : broken) {
        if (static_cast<std::size_t>(index) >= game.bricks.size())
            continue;
        game.bricks[static_cast<std::size_t>(index)].alive = false;
        game.score += game.bricks[static_cast<std::size_t>(index)].points;
    }
    for (Brick& brick : game.bricks)
        if (brick.hitPoints == 2 && brick.shape.getPosition().y > 170.f) {
            brick.hitPoints = 1;
            brick.shape.setFillColor(sf::Color(100, 80, 20, 220));
            break;
        }

    const float w = static_cast<float>(game.window.getSize().x);
    game.paddle.setPosition({0.5f * w - 90.f, game.paddle.getPosition().y});
    game.ball.setPosition({0.5f * w + 40.f, 470.f});
    game.ballVelocity = {180.f, -410.f};
    game.ballLaunched = true;
    game.paddleGlowPhase = 0.3f;
    game.cheerText = "Iskaldt!";
    game.cheerTimer = 1.4f;
    game.animTime = 0.9f;

    game.particles.clear();
    const sf::Vector2f breakAt = game.bricks.size() > 52
                                     ? game.bricks[52].shape.getPosition() + sf::Vector2f(50.f, 15.f)
                                     : sf::Vector2f(0.5f * w, 300.f);
    game.spawnParticles(breakAt, Palette::IceBlue, 22);
    settleSparks(game, 0.25f);
    if (game.bricks.size() > 31)
        game.spawnParticles(game.bricks[31].shape.getPosition() + sf::Vector2f(50.f, 15.f),
                            Palette::Amber, 22);
    settleSparks(game, 0.12f);
    game.spawnParticles({0.5f * w + 40.f, 478.f}, Palette::Amber, 8);
    settleSparks(game, 0.05f);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path("docs/images");
    std::error_code ec;
    fs::create_directories(folder, ec);

    Game game;
    seedRandom(7);  // the same sparks on every run
    game.isKeyHeld = [](sf::Keyboard::Key) { return false; };
    game.openUrl = [](const std::string&) {};
    bool ok = true;

    game.state = GameState::Title;
    game.animTime = 0.35f;
    game.particles.clear();
    ok &= save(game, folder, "title");

    stagePlay(game);
    game.state = GameState::Playing;
    ok &= save(game, folder, "play");

    game.state = GameState::Paused;
    ok &= save(game, folder, "pause");

    game.state = GameState::GameOver;
    game.level = 3;
    game.score = 1870;
    game.bestScore = 1870;
    game.lives = 0;
    game.cheerText = "Pr\xC3\xB8v igjen!";
    game.cheerTimer = 1.6f;
    ok &= save(game, folder, "game-over");

    game.level = 6;
    game.score = 8950;
    game.bestScore = 8950;
    game.cheerTimer = 0.f;
    for (Brick& brick : game.bricks)
        brick.alive = false;
    ok &= save(game, folder, "victory");

    game.state = GameState::LevelIntro;
    game.level = 2;
    game.introCountdown = 1.2f;
    game.animTime = 2.1f;
    game.particles.clear();
    game.spawnParticles({640.f, 330.f}, Palette::Amber, 40);
    settleSparks(game, 0.3f);
    ok &= save(game, folder, "level-intro");

    game.state = GameState::NameEntry;
    game.score = 8950;
    game.nameInput = "ISBJORN";
    game.animTime = 0.f;
    game.particles.clear();
    ok &= save(game, folder, "name-entry");

    game.state = GameState::HighScores;
    game.highScores.clear();
    game.animTime = 1.1f;
    ok &= save(game, folder, "high-scores-empty");

    game.highScores = {{"ISBJORN", 8950}, {"Kari", 6120}, {"Anonym", 3400},
                       {"Nils", 1870},    {"Liv", 660}};
    ok &= save(game, folder, "high-scores-full");

    // The wide screen: the fullscreen mode of the display, with the sidebar.
    game.createWindow(true);
    stagePlay(game);
    game.highScores = {{"ISBJORN", 8950}, {"Kari", 6120}, {"Anonym", 3400}};
    game.state = GameState::Playing;
    ok &= save(game, folder, "play-wide");

    return ok ? 0 : 1;
}
