// Frame benchmark: times render-with-display of every page, frame by frame,
// with no frame-rate limit (and what that makes at 60 frames a second), by
// the wall clock and by the CPU time of all the game's threads (the software
// renderer's included; std::clock, which is CPU time on Linux), at 1280 x 960
// and in the fullscreen mode, and the update step of the busy play scene (the
// full level-1 grid, 600 sparks, the HUD with a cheer, the aurora). No page
// may cost more than that busy play frame: each page's median CPU time is
// also shown against play's. Then runs each page through the frame loop
// itself, paced by the window's frame-rate limit, for the share of one core
// it takes. Also times start-up: constructing the Game and presenting its
// first frame.
//
// Run it on a display (or under xvfb-run -s "-screen 0 1920x1080x24").
//   tundrel_bench [frames] [page...]   pages: title intro play pause result name scores
#include "app/Game.hpp"

#include <SFML/System/Err.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
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

// Sparks are born only in play: 600 is a busy rally. Every other page shows
// what is left of the last burst, at most the 100 of a cleared level.
constexpr std::size_t kSparks = 600;
constexpr std::size_t kSparksOffPlay = 100;

// Keeps the spark count up with long-lived sparks spread over the field.
void topUpSparks(Game& game) {
    const sf::Vector2u size(game.frameSize());
    const std::size_t count = game.state == GameState::Playing ? kSparks : kSparksOffPlay;
    while (game.particles.size() < count) {
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

void busyScene(Game& game, GameState state) {
    game.state = GameState::Playing;
    game.level = 1;
    game.score = 1230;
    game.bestScore = 4560;
    game.lives = 3;
    game.resetRound();
    game.cheerText = "Iskaldt!";
    game.highScores = {{"Brimnor", 4560}, {"Isbjorn", 3100}, {"Kolmo", 2200},
                       {"Zefra", 1230}, {"Anonym", 880}};
    game.nameInput = "Vindar";
    game.introCountdown = 1.f;
    if (state == GameState::LevelIntro) {
        game.level = 2;  // as a cleared level leaves it: no brick left
        for (Brick& brick : game.bricks)
            brick.alive = false;
    }
    game.state = state;
    game.particles.clear();
    topUpSparks(game);
}

struct Page {
    const char* name;
    GameState state;
};

const Page kPages[] = {
    {"title", GameState::Title},     {"intro", GameState::LevelIntro},
    {"play", GameState::Playing},    {"pause", GameState::Paused},
    {"result", GameState::GameOver}, {"name", GameState::NameEntry},
    {"scores", GameState::HighScores},
};

struct Samples {
    std::vector<double> wall, cpu, update;
};

// One run of frames of a page, from its scene as set up anew.
void run(Game& game, const Page& page, int frames, Samples& out) {
    busyScene(game, page.state);
    const float dt = 1.f / 60.f;
    for (int frame = 0; frame < frames; ++frame) {
        game.cheerTimer = 1.5f;  // keep the cheer on screen
        Clock::time_point start = Clock::now();
        game.update(dt);
        out.update.push_back(microsecondsSince(start));
        game.state = page.state;  // the update may end a level; the page stays
        topUpSparks(game);

        start = Clock::now();
        const std::clock_t cpu = std::clock();
        game.render();
        out.cpu.push_back(1e6 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
        out.wall.push_back(microsecondsSince(start));
    }
}

// The pages take turns in runs of 30 frames, so a load that comes and goes
// on a shared machine weighs on each of them alike.
void measurePages(Game& game, const char* label, int frames, const std::vector<std::string>& only) {
    game.window->setFramerateLimit(0);
    game.window->setVerticalSyncEnabled(false);
    std::vector<const Page*> pages;
    for (const Page& page : kPages)
        if (only.empty() || std::find(only.begin(), only.end(), page.name) != only.end())
            pages.push_back(&page);
    std::vector<Samples> samples(pages.size());
    constexpr int kRun = 30;
    for (int done = 0; done < frames; done += kRun)
        for (std::size_t i = 0; i < pages.size(); ++i)
            run(game, *pages[i], std::min(kRun, frames - done), samples[i]);

    const sf::Vector2u size = game.window->getSize();
    std::printf("%s %ux%u, %d frames a page, %zu sparks in play and %zu elsewhere; render+display "
                "in ms: wall clock, and CPU time of all the game's threads\n",
                label, size.x, size.y, frames, kSparks, kSparksOffPlay);
    std::printf("  %-7s %9s %9s %9s %9s %8s %5s %9s\n", "page", "median", "p99", "cpu med",
                "cpu p99", "vs play", "fps", "% of core");
    double playCpu = 0.0;
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (pages[i]->state == GameState::Playing)
            playCpu = summarise(samples[i].cpu).median;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Summary wall = summarise(samples[i].wall), cpu = summarise(samples[i].cpu);
        // At the frame-rate limit: the share of one core its frames take.
        const unsigned fps = kFrameRateLimit;
        std::printf("  %-7s %9.3f %9.3f %9.3f %9.3f %+8.3f %5u %9.1f\n", pages[i]->name,
                    wall.median / 1000.0, wall.p99 / 1000.0, cpu.median / 1000.0,
                    cpu.p99 / 1000.0, (cpu.median - playCpu) / 1000.0, fps,
                    cpu.median * fps / 1e4);
        if (pages[i]->state == GameState::Playing) {
            const Summary u = summarise(samples[i].update);
            std::printf("  update of the play scene: median %.1f us, p99 %.1f us\n", u.median, u.p99);
        }
    }
}

// The share of one core each page takes through the game's own frame loop,
// paced by the window's frame-rate limit: what a system monitor shows while
// the page is up, and the frames a second it gets. CPU time of all the
// game's threads over the wall clock.
void measureLoop(Game& game, const char* label, double seconds, const std::vector<std::string>& only) {
    std::printf("%s, through the frame loop at its limit of %u frames a second, %.0f s a page: "
                "share of one core\n", label, kFrameRateLimit, seconds);
    game.window->setFramerateLimit(kFrameRateLimit);
    for (const Page& page : kPages) {
        if (!only.empty() && std::find(only.begin(), only.end(), page.name) == only.end())
            continue;
        busyScene(game, page.state);
        sf::Clock frameClock;
        const Clock::time_point start = Clock::now();
        const std::clock_t cpu = std::clock();
        int frames = 0;
        while (microsecondsSince(start) < seconds * 1e6) {
            game.cheerTimer = 1.5f;
            game.runFrame(frameClock.restart().asSeconds());
            game.state = page.state;  // a focus change or a cleared level may not end the page
            topUpSparks(game);
            ++frames;
        }
        const double wall = microsecondsSince(start) / 1e6;
        const double used = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        std::printf("  %-7s %5.1f %% of a core, %5.1f frames a second\n", page.name,
                    100.0 * used / wall, frames / wall);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Clock::time_point start = Clock::now();
    sf::err().rdbuf(nullptr);
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;
    const std::vector<std::string> only(argv + std::min(argc, 2), argv + argc);

    Game game;
    game.render();
    const double startup = microsecondsSince(start);
    std::printf("start-up to first presented frame: %.1f ms\n", startup / 1000.0);

    // The loop's span a page: a second for every 120 frames asked.
    const double loopSeconds = frames / 120.0;
    measurePages(game, "windowed", frames, only);
    measureLoop(game, "windowed", loopSeconds, only);
    game.createWindow(true);
    measurePages(game, "fullscreen", frames, only);
    measureLoop(game, "fullscreen", loopSeconds, only);
    return 0;
}
