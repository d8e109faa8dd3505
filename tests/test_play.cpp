// Play as the player sees it: a real Game whose keyboard, speakers and browser
// are replaced by recorders, driven by injected events and fixed update steps;
// plus the pure collision arithmetic.
#include "TestSupport.hpp"

#include "app/WorkArea.hpp"
#include "gameplay/Collision.hpp"
#include "render/Layout.hpp"

using namespace testing_support;
using E = compat::InputEvent;

// F11 in mid-level: every brick moves to its column in the new window and
// keeps its state; the paddle stays on screen, and the ball flies on from its
// place among the bricks. Into the narrower window the ball is put where it
// no longer fits, left of the field or below the paddle: it starts again from
// the paddle.
static void toggleFullscreenMidLevel(Harness& h) {
    const std::vector<Brick> before = h.game.bricks;
    // Only a real window narrows the field on the way back.
    const bool kept = !h.game.fullscreen || !h.game.window;
    if (!kept)
        h.game.ball.setPosition(h.game.level == 2 ? sf::Vector2f(100.f, 500.f) : sf::Vector2f(960.f, 950.f));
    const sf::Vector2f ball = h.game.ball.getPosition() - before[0].shape.getPosition(), velocity = h.game.ballVelocity;
    h.press(Key::F11);
    const sf::Vector2f size = h.game.frameSize(), paddle = h.game.paddle.getPosition();
    const std::vector<BrickCell> grid = brickLayout(h.game.level, size.x);
    ASSERT_EQ(h.game.bricks.size(), grid.size());
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const Brick& b = h.game.bricks[i];
        EXPECT_EQ(std::make_tuple(b.shape.getPosition(), b.shape.getFillColor(), b.alive, b.hitPoints),
                  std::make_tuple(grid[i].position, before[i].shape.getFillColor(), before[i].alive, before[i].hitPoints));
    }
    EXPECT_TRUE(paddle.y == size.y - 70.f && paddle.x >= 65.f && paddle.x <= size.x - 65.f);
    const sf::Vector2f moved = h.game.ball.getPosition() - h.game.bricks[0].shape.getPosition();
    EXPECT_TRUE(kept ? h.game.ballLaunched && h.game.ballVelocity == velocity && moved.y == ball.y && std::abs(moved.x - ball.x) < 1e-3f
                     : !h.game.ballLaunched && h.game.ballVelocity == sf::Vector2f() && h.game.ball.getPosition() == paddle - sf::Vector2f(0.f, 31.f));
}

// A row of the state table: a page by letter, in the enumeration's order
// "TPZGNHL", its intro countdown, and where each input leads; X: the game quits.
struct PageRow { const char* name; char from; float countdown; const char* to; };
void PrintTo(const PageRow& row, std::ostream* out) { *out << row.name; }
struct PageInput : testing::TestWithParam<PageRow> {};

TEST_P(PageInput, EveryKeyAndButton) {
    const E inputs[] = {E::keyPressed(Key::Escape), E::keyPressed(Key::Space), E::keyPressed(Key::H), E::keyPressed(Key::F1),
                        E::keyPressed(Key::F11), E::keyPressed(Key::Enter), E::mousePressed(sf::Mouse::Button::Left),
                        E::mousePressed(sf::Mouse::Button::Right), E::closed(), E::focusLost()};
    const std::string pages = "TPZGNHL";
    const PageRow& row = GetParam();
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(testing::Message() << "input " << i);
        Harness h;
        h.game.state = static_cast<S>(pages.find(row.from));
        h.game.introCountdown = row.countdown;
        h.game.handleEvent(E::focusGained());  // the window has the focus
        h.game.handleEvent(inputs[i]);
        EXPECT_EQ(h.game.hasQuit, row.to[i] == 'X');
        EXPECT_TRUE(row.to[i] == 'X' || h.game.state == static_cast<S>(pages.find(row.to[i])));
        // F1 and F11 act on every page but the name entry page.
        EXPECT_EQ(h.urls, std::vector<std::string>(i == 3 && row.from != 'N' ? 1 : 0, SITE_URL));
        EXPECT_EQ(h.game.fullscreen, i == 4 && row.from != 'N');
    }
}

// Escape Space H F1 F11 Enter left right Closed FocusLost
INSTANTIATE_TEST_SUITE_P(Pages, PageInput, testing::Values(
    PageRow{"Title", 'T', 0.f, "XPHTTTPTXT"}, PageRow{"Playing", 'P', 0.f, "ZPPPPPPZXZ"},
    PageRow{"Paused", 'Z', 0.f, "PPZZZZPPXZ"}, PageRow{"GameOver", 'G', 0.f, "XHGGGGHGXG"},
    PageRow{"NameEntry", 'N', 0.f, "HNNNNNNNXN"}, PageRow{"HighScores", 'H', 0.f, "TTHHHHTHXH"},
    PageRow{"LevelIntroCounting", 'L', 1.5f, "XLLLLLLLXL"}, PageRow{"LevelIntroReady", 'L', 0.f, "XPLLLLPLXL"},
    PageRow{"LevelIntroPast", 'L', -0.25f, "XPLLLLPLXL"}));

TEST(PlayInput, NameEntryTypingAndHeldKeys) {
    Harness h;
    h.game.state = S::GameOver;
    h.game.score = 777;
    // A Space held from the panel into the page types nothing until released.
    h.hold(Key::Space, 13);
    EXPECT_TRUE(h.game.state == S::NameEntry && h.game.nameInput.empty()) << h.game.nameInput;
    h.release(Key::Space);
    h.press(Key::Space, 2);
    EXPECT_EQ(h.game.nameInput, "  ");
    h.press(Key::Enter);  // blanks are no name
    h.hold(Key::Backspace, 3);  // repeats, the last on nothing
    h.press(Key::Enter);  // nor is an empty one
    EXPECT_TRUE(h.game.state == S::NameEntry && h.game.nameInput.empty()) << h.game.nameInput;
    // The thirteenth character is dropped, backspace takes one back; only ASCII 32..126 counts.
    h.type(U"Brimnor Isbjx\b\u00F8\u263A\x7F\x1F\t~");
    h.press(Key::Space);  // past the limit
    EXPECT_EQ(h.game.nameInput, "Brimnor Isb~");
    h.press(Key::Enter);
    // Escape keeps the score under a stand-in name, whatever was typed.
    EXPECT_EQ(h.game.state, S::HighScores);
    h.game.state = S::NameEntry;
    h.game.score = 300;
    h.press(Key::Escape);
    EXPECT_EQ(readFile(h.dir.path() / "tundrel_score.txt"), withLineEnds("777 Brimnor Isb~\n300 Anonym\n"));
}

// A held F1 or F11 acts once per press, never again at release. The X server
// repeats a held key as a release and a press; on a busy machine the two come
// in different frames, and the last pairs can still be on their way when the
// key is already up.
TEST(PlayInput, HeldF1AndF11ActOncePerPressWhateverTheRepeatPairsDo) {
    Harness h;
    const auto frameEnds = [&h](float seconds) { h.game.keyClock += seconds; h.game.settleKeys(); };
    // Held 3.5 s: pairs within one frame's events, and pairs split 0.35 s apart.
    const auto repeatPairs = [&](Key key, int count) {
        for (int i = 0; i < count; ++i) {
            h.game.handleEvent(E::keyReleased(key));
            if (i % 2)
                frameEnds(0.35f);
            h.game.handleEvent(E::keyPressed(key));
            frameEnds(0.f);
        }
    };
    h.hold(Key::F1, 1);
    repeatPairs(Key::F1, 10);
    EXPECT_EQ(h.urls.size(), 1u);
    h.held.erase(Key::F1);  // up, with three pairs and the release still to come
    repeatPairs(Key::F1, 3);
    h.game.handleEvent(E::keyReleased(Key::F1));
    frameEnds(0.5f);
    EXPECT_EQ(h.urls.size(), 1u);
    for (int i = 0; i < 3; ++i) {  // taps, however quick: one page each
        h.press(Key::F1);
        frameEnds(0.1f);
    }
    EXPECT_EQ(h.urls.size(), 4u);

    h.hold(Key::F11, 10);
    EXPECT_TRUE(h.game.fullscreen);
    // The release went to the window F11 replaced; the keyboard shows it up,
    // and the next frame lets the key go.
    h.held.erase(Key::F11);
    h.game.runFrame(0.f);
    h.press(Key::F11);
    EXPECT_FALSE(h.game.fullscreen);
}

// What the display itself tells a window, so on a screen.
TEST(PlayInput, OwnWindowChangeNeverPausesARealFocusLossDoes) {
    SKIP_WITHOUT_SCREEN();
    Harness h(true);
    h.press(Key::Space);
    const auto settle = [&h] {
        for (int i = 0; i < 20; ++i) {
            h.game.handleEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    for (const bool wide : {true, false}) {
        h.press(Key::F11);
        settle();  // what the display itself tells the new window
        EXPECT_TRUE(h.game.fullscreen == wide && h.game.state == S::Playing) << wide;
        h.press(Key::F11);
        h.game.handleEvent(E::focusLost());  // before the new window has had the focus
        EXPECT_EQ(h.game.state, S::Playing) << wide;
        h.game.handleEvent(E::focusGained());
        h.game.handleEvent(E::focusLost());
        EXPECT_EQ(h.game.state, S::Paused) << wide;
        h.press(Key::F11);  // the pause page stays paused through its own change
        settle();
        EXPECT_EQ(h.game.state, S::Paused) << wide;
        h.press(Key::Escape);
    }
    // Centred on the 1920 x 1080 screen with its frame, which Windows draws.
    EXPECT_EQ(h.game.window->getPosition(), (sf::Vector2i(640, 120) - sf::Vector2i(desktopWorkArea({1920, 1080}).frame)) / 2);
}

TEST(PlayInput, PaddleStaysWithinTheWalls) {
    Harness h;
    const float y = h.game.paddle.getPosition().y;
    h.held = {Key::Left};  // keys steer only the playfield
    const std::pair<int, float> moves[] = {{300, 300.f}, {64, 65.f}, {-40, 65.f}, {1216, 1215.f}, {700, 700.f}};
    // The name entry page comes last and ignores the mouse: the paddle stays at 700.
    for (const S state : {S::Title, S::Paused, S::NameEntry}) {
        h.game.state = state;
        for (const auto& [mouseX, x] : moves) {
            h.moveMouse(mouseX);
            h.game.handleEvents();
            EXPECT_EQ(h.game.paddle.getPosition(), sf::Vector2f(state == S::NameEntry ? 700.f : x, y)) << mouseX;
        }
    }
    // Keys move a fixed (level x 20 + 520) / 60 per frame, 10 on level 4, and clamp every frame.
    const struct { std::set<Key> keys; float from, to; } cases[] = {{{Key::Left}, 640.f, 630.f}, {{Key::Left, Key::A}, 640.f, 630.f},
        {{Key::D}, 640.f, 650.f}, {{Key::A, Key::Right}, 640.f, 640.f}, {{Key::Left}, 70.f, 65.f}, {{Key::Up}, 2000.f, 1215.f}};
    h.game.state = S::Playing;
    h.game.level = 4;
    for (const auto& c : cases) {
        h.held = c.keys;
        h.game.paddle.setPosition({c.from, y});
        h.game.handleEvents();
        EXPECT_EQ(h.game.paddle.getPosition(), sf::Vector2f(c.to, y)) << c.from << " " << c.keys.size();
    }
}

TEST(PlayFlight, BrickFacesTiesPaddleAnglesTheLostLineCornersAndGaps) {
    using collision::reflectOffBrick;
    // Bottom face of the brick at (105, 285), box L 103.5, T 283.5, R 206.5, B 318.5:
    // dL 57.5, dR 67.5, dT 52.5, dB 4.5.
    const compat::Box brick{103.5f, 283.5f, 103.f, 35.f};
    EXPECT_EQ(reflectOffBrick(brick, {150.f, 325.f}, {80.f, -300.f}), sf::Vector2f(80.f, 300.f));
    // Side face: dL 2.5, dR 122.5, dT 27.5, dB 29.5.
    EXPECT_EQ(reflectOffBrick(brick, {95.f, 300.f}, {300.f, 40.f}), sf::Vector2f(-300.f, 40.f));
    // Ties: mX == mY (6 each) turns vy, up as dB > dT; dT == dB gives vy > 0; dL == dR gives vx > 0.
    EXPECT_EQ(reflectOffBrick({0.f, 0.f, 100.f, 30.f}, {-5.f, -5.f}, {100.f, 100.f}), sf::Vector2f(100.f, -100.f));
    EXPECT_EQ(reflectOffBrick({0.f, 0.f, 100.f, 30.f}, {50.f, 15.f}, {30.f, -40.f}), sf::Vector2f(30.f, 40.f));
    EXPECT_EQ(reflectOffBrick({0.f, 0.f, 100.f, 200.f}, {50.f, 100.f}, {-100.f, 50.f}), sf::Vector2f(100.f, 50.f));

    // Paddle: sin/cos of 32.5 degrees are 0.5373/0.8434, of 65 degrees 0.9063/0.4226.
    const std::array<float, 3> bounces[] = {{0.f, 0.f, -1.f}, {32.5f, .5373f, -.8434f}, {-32.5f, -.5373f, -.8434f},
                                            {65.f, .9063f, -.4226f}, {100.f, .9063f, -.4226f}, {-400.f, -.9063f, -.4226f}};
    for (const auto& [offset, vx, vy] : bounces) {
        const sf::Vector2f out = collision::paddleBounceVelocity(640.f + offset, 640.f, {300.f, 400.f});
        EXPECT_NEAR(out.x, vx * 500.f, 0.05) << offset;
        EXPECT_NEAR(out.y, vy * 500.f, 0.05) << offset;
    }
    // In a 960 high window the centre may reach y = 1010.
    EXPECT_TRUE(!collision::isBelowLostLine({600.f, 1010.f}, 960.f) && collision::isBelowLostLine({600.f, 1010.001f}, 960.f));

    Harness h;  // through the update: the top right corner, both walls judged on one reading
    h.flyUnder(h.game.bricks[0]);
    h.game.ball.setPosition({1275.f, 4.f});
    h.game.ballVelocity = {300.f, -300.f};
    h.game.update(0.f);
    EXPECT_EQ(std::make_pair(h.game.ball.getPosition(), h.game.ballVelocity), std::make_pair(sf::Vector2f(1275.f, 11.f), sf::Vector2f(-300.f, 300.f)));
    EXPECT_EQ(h.sounds, std::vector<SoundId>(2, SoundId::Wall));
    h.game.createWindow(false);  // F11 now: the ball, over the right wall, flies on
    EXPECT_TRUE(h.game.ballLaunched && h.game.ball.getPosition() == sf::Vector2f(1275.f, 11.f));
    // Under the 7 pixel gap between the first two bricks: one a frame, in list order.
    const Brick &first = h.game.bricks[0], &second = h.game.bricks[1];
    h.flyUnder(first, 53.5f);
    h.game.update(0.f);
    EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(0.f, 500.f));  // off the bottom face
    EXPECT_TRUE(!first.alive && second.alive);
    h.game.update(0.f);
    EXPECT_FALSE(second.alive);
}

// Without a window (false), and with one on a screen whose fullscreen frame
// is wider (true; CTest runs it on 1366 x 768 at 16 bits).
struct PlayWholeGame : testing::TestWithParam<bool> {};

TEST_P(PlayWholeGame, PerfectRunScores8950WithAWindowToggleInEveryLevel) {
    if (GetParam()) SKIP_WITHOUT_SCREEN();
    Harness h(GetParam());
    h.game.score = 900;  // left over from an earlier game
    h.press(Key::Space);
    // Bricks: 60, 60, 45, 45 and 30, the reinforced ones taking two hits; points
    // per level 660, 1680, 1890, 2520 and 2200.
    const int hits[] = {63, 72, 54, 54, 37}, totals[] = {660, 2340, 4230, 6750, 8950};
    for (int level = 1; level <= 5; ++level) {
        SCOPED_TRACE(level);
        h.press(Key::Space);
        EXPECT_NEAR(std::hypot(h.game.ballVelocity.x, h.game.ballVelocity.y), level * 65.0 + 380.0, 0.01);
        int frames = 0;  // each frame hits the first live brick from below
        for (; h.game.state == S::Playing && frames < 500; ++frames) {
            if (frames == hits[level - 1] / 2)
                toggleFullscreenMidLevel(h);
            ASSERT_TRUE(h.breakNextBrick());
        }
        EXPECT_EQ(frames, hits[level - 1]);
        EXPECT_EQ(h.game.score, totals[level - 1]);
        if (level == 5)
            break;
        ASSERT_EQ(h.game.state, S::LevelIntro);
        EXPECT_EQ(h.game.bestScore, 0);  // raised only when a game ends
        h.frames(181);  // just over three seconds, and it waits for the player
        EXPECT_EQ(h.game.state, S::LevelIntro);
        h.press(Key::Space);
    }
    EXPECT_EQ(std::make_tuple(h.game.level, h.game.state, h.game.bestScore), std::make_tuple(6, S::GameOver, 8950));
    EXPECT_EQ(layout::hudLevelText(h.game.level), "LEVEL 5/5");
    // 240 bricks broken, 40 reinforced ones cracked first, five levels cleared.
    for (const auto& [sound, count] : {std::pair(SoundId::Break, 240), {SoundId::Hit, 40}, {SoundId::LevelClear, 5}})
        EXPECT_EQ(std::count(h.sounds.begin(), h.sounds.end(), sound), count);
}

INSTANTIATE_TEST_SUITE_P(Play, PlayWholeGame, testing::Bool());
