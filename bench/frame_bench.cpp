// Frame benchmark: times the update step and render-with-display in a busy
// scene (the full level-1 grid, 600 sparks, the HUD, the aurora), frame by
// frame, with no frame-rate limit, at 1280 x 960 and in the fullscreen mode.
// Also times start-up: constructing the Game and presenting its first frame.
//
// Run it on a display (or under xvfb-run -s "-screen 0 1920x1080x24").
#include "app/Game.hpp"

#include <SFML/System/Err.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

struct Summary {
    double median;
    double p99;
};

Summary summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return {samples[n / 2], samples[std::min(n - 1, (n * 99) / 100)]};
}

constexpr std::size_t kSparks = 600;

// Keeps the spark count at 600 with long-lived sparks spread over the field.
void topUpSparks(Game& game) {
    const sf::Vector2u size(game.frameSize());
    while (game.particles.size() < kSparks) {
        const std::size_t i = game.particles.size();
        Particle spark;
        spark.position = {static_cast<float>((i * 37) % size.x), static_cast<float>((i * 53) % size.y)};
        spark.velocity = {static_cast<float>(i % 200) - 100.f, static_cast<float>(i % 160) - 80.f};
        spark.color = (i % 2) ? Palette::IceBlue : Palette::Amber;
        spark.maxLife = 1.1f;
        spark.life = 0.4f + static_cast<float>(i % 7) * 0.1f;
        spark.size = 2.f + static_cast<float>(i % 6);
        game.particles.push_back(spark);
    }
}

void busyScene(Game& game) {
    game.state = GameState::Playing;
    game.level = 1;
    game.score = 1230;
    game.bestScore = 4560;
    game.lives = 3;
    game.resetRound();
    game.cheerText = "Iskaldt!";
    game.particles.clear();
    topUpSparks(game);
}

void measure(Game& game, const char* label, int frames) {
    game.window.setFramerateLimit(0);
    game.window.setVerticalSyncEnabled(false);
    busyScene(game);
    std::vector<double> updates, renders;
    updates.reserve(frames);
    renders.reserve(frames);
    const float dt = 1.f / 60.f;
    for (int frame = 0; frame < frames; ++frame) {
        topUpSparks(game);
        game.cheerTimer = 1.5f;  // keep the cheer on screen
        Clock::time_point start = Clock::now();
        game.update(dt);
        updates.push_back(microsecondsSince(start));

        start = Clock::now();
        game.render();
        renders.push_back(microsecondsSince(start));
    }
    const sf::Vector2u size = game.window.getSize();
    const Summary u = summarise(updates);
    const Summary r = summarise(renders);
    std::printf("%s %ux%u, %d frames, %zu sparks\n", label, size.x, size.y, frames, kSparks);
    std::printf("  update:          median %8.1f us   p99 %8.1f us\n", u.median, u.p99);
    std::printf("  render+display:  median %8.3f ms   p99 %8.3f ms\n", r.median / 1000.0, r.p99 / 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
    const Clock::time_point start = Clock::now();
    sf::err().rdbuf(nullptr);
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;

    Game game;
    game.render();
    const double startup = microsecondsSince(start);
    std::printf("start-up to first presented frame: %.1f ms\n", startup / 1000.0);

    measure(game, "windowed", frames);
    game.createWindow(true);
    measure(game, "fullscreen", frames);
    return 0;
}
