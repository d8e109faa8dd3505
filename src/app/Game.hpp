// The one object that owns the whole game. Each subsystem is a group of its
// member functions, defined in the file of that subsystem:
//   app/       construction, window, fonts, input and the state machine
//   gameplay/  round setup, the update step, particles
//   render/    frame composition, playfield, HUD, sidebar, drawText
//   screens/   the title, level intro, message panel, high-score and name pages
//   audio/     the sound bank
//   scores/    the high-score table and its file
#pragma once

#include "app/SfmlCompat.hpp"
#include "app/Types.hpp"
#include "render/Veil.hpp"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#ifndef TUNDREL_SITE_LABEL
#define TUNDREL_SITE_LABEL "tundrel.example"
#endif
#ifndef TUNDREL_SITE_URL
#define TUNDREL_SITE_URL "https://tundrel.example/"
#endif

inline constexpr const char* SITE_LABEL = TUNDREL_SITE_LABEL;
inline constexpr const char* SITE_URL = TUNDREL_SITE_URL;

inline constexpr unsigned kFrameRateLimit = 60;
inline constexpr float kMaxFrameTime = 0.05f;

// "TUNDREL | " followed by the site label.
std::string windowTitle();

// Starts a Game without a window, for the cases that need no screen: nothing
// asks the display, no key is held and the frame is the 1280 x 960 layout.
struct NoWindow {};

class Game {
public:
    Game();
    explicit Game(NoWindow);
    Game(const Game&) = delete;             // each sound refers to the buffer beside it
    Game& operator=(const Game&) = delete;
    Game(Game&&) = delete;
    Game& operator=(Game&&) = delete;

    // One pass of the frame loop: events, update with the capped step, render.
    void runFrame(float elapsedSeconds);

    // Application shell (app/)
    void start();
    void createWindow(bool wantFullscreen);
    void openWindow(bool wantFullscreen);
    void quit();
    // W and H of every layout: the view's size, which a small window shows
    // scaled down; 1280 x 960 without a window.
    sf::Vector2f frameSize() const;
    float frameX(sf::Vector2i pixel) const;
    std::optional<compat::InputEvent> nextInput();
    void handleEvents();
    void handleEvent(const compat::InputEvent& event);
    void settleKeys();
    bool notePress(sf::Keyboard::Key key);
    void handleInput(const compat::InputEvent& event, bool repeat);
    void handleNameEntryInput(const compat::InputEvent& event);
    bool handleSharedInput(const compat::InputEvent& event);
    void handlePlayInput(const compat::InputEvent& event);
    void handlePageInput(const compat::InputEvent& event);
    void togglePause();
    void handleAction();
    void movePaddleByKeyboard();
    void advanceFrameClocks(float dt);

    // Gameplay (gameplay/)
    void update(float dt);
    void resetRound();
    void fitPlayfieldToWindow(float oldWidth);
    void buildBricks();
    sf::Vector2f restingBallPosition() const;
    void seatBall();
    void spawnParticles(sf::Vector2f position, sf::Color color, int count);
    void updateParticles(float dt);

    // Rendering (render/)
    void render();
    void drawScene();
    void drawPage();
    void buildBackdrop();
    void drawBackdrop();
    void drawAurora();
    void drawParticles();
    // Every shape, text and vertex list of a frame is drawn through these,
    // which draw its colours as the veil over it, if any, will leave them.
    void paint(sf::Shape& shape, render::Ink ink = render::Ink::Over);
    void paint(sf::Text& text);
    void paint(sf::VertexArray& vertices, render::Ink ink);
    void drawText(const std::string& text, float x, float y, unsigned characterSize,
                  sf::Color color, bool centered);
    void drawBricks();
    void drawPaddleAndBall();
    void drawHud();
    void drawSidebar();

    // Screens (screens/)
    void drawTitleScreen();
    void drawLevelIntro();
    void drawMessagePanel(const std::string& title, const std::string& subtitle,
                          sf::Color accent);
    void drawHighScoreList();
    void drawNameEntry();

    // Audio (audio/)
    void buildSounds();
    void playSound(SoundId id);

    // High scores (scores/)
    void loadHighScores();
    void saveHighScore(const std::string& name, int score);
    bool qualifiesForHighScore() const;

    // The game's state, in declaration order: members are destroyed in
    // reverse, so the sounds go before their buffers and the window goes last.
    std::optional<sf::RenderWindow> window;  // none in a Game started with NoWindow
    sf::Font font;
    bool hasQuit = false;  // the player quit; the window, if any, is closed
    bool fullscreen = false;
    bool windowHasFocus = false;  // the window has said it has the focus and not lost it since
    GameState state = GameState::Title;
    sf::RectangleShape paddle;
    sf::CircleShape ball{0.f, kCirclePoints};
    sf::Vector2f ballVelocity{0.f, 0.f};
    std::vector<Brick> bricks;
    std::vector<Particle> particles;
    std::vector<sf::Vertex> backdropLines;
    std::int32_t level = 1;
    std::int32_t score = 0;
    std::int32_t bestScore = 0;
    std::int32_t lives = kStartingLives;
    bool ballLaunched = false;
    float animTime = 0.f;
    float paddleGlowPhase = 0.f;
    float cheerTimer = 0.f;
    float introCountdown = 0.f;
    std::string cheerText;
    std::string nameInput;
    // The veil of the page being drawn, while the scene beneath it is drawn;
    // 0 otherwise.
    std::uint8_t sceneVeil = 0;
    std::array<sf::SoundBuffer, kSoundCount> soundBuffers;
    std::array<std::optional<sf::Sound>, kSoundCount> sounds;
    std::vector<HighScoreEntry> highScores;
    bool scoreSaveFailed = false;  // the last result could not be written to the file
    RunScores runScores;  // every result this run recorded, for the next save to keep

    // Set by a key press whose typed character, next in the queue, must not
    // type: one that changed the page, or one muted on the name page.
    bool dropNextText = false;
    // Keys pressed and not yet released: another press of one is a key repeat.
    std::set<sf::Keyboard::Key> keysDown;
    // Released keys whose release does not stand yet: since when (keyClock),
    // and whether the keyboard has shown them up since.
    struct ReleaseWait {
        float since = 0.f;
        bool seenUp = false;
    };
    std::map<sf::Keyboard::Key, ReleaseWait> releasing;
    float keyClock = 0.f;  // real seconds of frames, for releasing
    // Keys already held when the name page opened; they type nothing there
    // until released.
    std::set<sf::Keyboard::Key> mutedKeys;

    // Seams, so tests can stand in for the keyboard, the speakers and the
    // browser. They hold no game state.
    std::function<bool(sf::Keyboard::Key)> isKeyHeld;
    std::function<void(SoundId)> onSoundPlayed;
    std::function<void(const std::string&)> openUrl;
};
