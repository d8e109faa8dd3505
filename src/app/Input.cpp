#include "app/Game.hpp"

#include "app/InputRules.hpp"
#include "app/Random.hpp"

#include <utility>

namespace {

using Kind = compat::InputEvent::Kind;
using Key = sf::Keyboard::Key;

// Only where the name consists of something more than blanks.
bool isRealName(const std::string& name) {
    return name.find_first_not_of(' ') != std::string::npos;
}

bool isKey(const compat::InputEvent& event, Key key) {
    return event.kind == Kind::KeyPressed && event.key == key;
}

bool isButton(const compat::InputEvent& event, sf::Mouse::Button button) {
    return event.kind == Kind::MouseButtonPressed && event.button == button;
}

}  // namespace

void Game::handleEvents() {
    while (const std::optional<compat::InputEvent> event = nextInput()) {
        handleEvent(*event);
        if (hasQuit)
            return;  // the game ends after this frame; nothing more to read
    }
    settleKeys();
    if (state == GameState::Playing)
        movePaddleByKeyboard();
}

// The X server repeats a held key as a release and a press, and under load
// the press can come frames after its release. So a released key counts as
// down until the keyboard has shown it up for kReleaseSettle seconds; a press
// before that is the second half of such a pair, unless the key has been seen
// up and is down again.
void Game::settleKeys() {
    // Up on the keyboard, yet never released: the release went astray, to a
    // window F11 has replaced or while another window had the focus.
    for (const Key key : keysDown)
        if (releasing.count(key) == 0 && !isKeyHeld(key))
            releasing[key] = {keyClock, false};
    for (auto it = releasing.begin(); it != releasing.end();) {
        const Key key = it->first;
        if (isKeyHeld(key)) {
            ++it;
            continue;
        }
        it->second.seenUp = true;
        if (keyClock - it->second.since < input_rules::kReleaseSettle) {
            ++it;
            continue;
        }
        keysDown.erase(key);
        mutedKeys.erase(key);
        it = releasing.erase(it);
    }
}

bool Game::notePress(Key key) {
    if (key == Key::Unknown)
        return false;
    const auto waiting = releasing.find(key);
    if (waiting == releasing.end())
        return !keysDown.insert(key).second;
    const bool again = waiting->second.seenUp && isKeyHeld(key);
    releasing.erase(waiting);
    if (!again)
        return true;  // a repeat whose press came late
    mutedKeys.erase(key);  // it was up: a held key's muting is over
    return false;
}

void Game::handleEvent(const compat::InputEvent& event) {
    // A key press that changes the page also delivers its character, which
    // belongs to the page it left: the Space that opens the name entry page
    // must not type a blank into the name.
    if (std::exchange(dropNextText, false) && event.kind == Kind::TextEntered)
        return;
    bool repeat = false;
    switch (event.kind) {
    case Kind::KeyPressed:
        repeat = notePress(event.key);
        if (state == GameState::NameEntry && mutedKeys.count(event.key) != 0) {
            dropNextText = true;  // a key held since the page opened types nothing
            return;
        }
        break;
    case Kind::KeyReleased:
        if (keysDown.count(event.key) != 0)
            releasing.insert_or_assign(event.key, ReleaseWait{keyClock, false});
        return;
    case Kind::FocusLost:
        // No ball is lost behind the player's back. A window the game has just
        // made may be told it lost a focus it never had (a bare X server says
        // so after every F11); that is no player leaving.
        if (std::exchange(windowHasFocus, false) && state == GameState::Playing)
            state = GameState::Paused;
        return;
    case Kind::FocusGained:
        windowHasFocus = true;
        return;
    default:
        break;
    }
    const GameState before = state;
    handleInput(event, repeat);
    if (state == GameState::NameEntry && before != GameState::NameEntry)
        mutedKeys = keysDown;
    dropNextText = event.kind == Kind::KeyPressed && state != before;
}

void Game::handleInput(const compat::InputEvent& event, bool repeat) {
    if (event.kind == Kind::Closed) {
        quit();
        return;
    }
    if (state == GameState::NameEntry) {
        handleNameEntryInput(event);
        return;
    }
    // A held F1 or F11 acts once: each launch or new window is costly.
    if (repeat && (isKey(event, Key::F1) || isKey(event, Key::F11)))
        return;
    if (handleSharedInput(event))
        return;
    if (state == GameState::Playing || state == GameState::Paused)
        handlePlayInput(event);
    else
        handlePageInput(event);
}

// The name entry page hears only typing, Enter and Escape.
void Game::handleNameEntryInput(const compat::InputEvent& event) {
    if (event.kind == Kind::TextEntered) {
        const std::uint32_t c = event.unicode;
        if (c == 8) {
            if (!nameInput.empty())
                nameInput.pop_back();
        } else if (c >= 32 && c <= 126 &&
                   nameInput.size() < static_cast<std::size_t>(input_rules::kNameLimit)) {
            nameInput.push_back(static_cast<char>(c));
        }
    } else if (isKey(event, Key::Enter) && isRealName(nameInput)) {
        saveHighScore(nameInput, score);
        state = GameState::HighScores;
    } else if (isKey(event, Key::Escape)) {
        // Skipping the name still keeps the score.
        saveHighScore(input_rules::kSkippedName, score);
        state = GameState::HighScores;
    }
}

// What means the same on every other page. False when the event is not one
// of these.
bool Game::handleSharedInput(const compat::InputEvent& event) {
    if (isKey(event, Key::F11)) {
        createWindow(!fullscreen);
    } else if (isKey(event, Key::F1)) {
        if (openUrl)
            openUrl(SITE_URL);
    } else if (isKey(event, Key::Space) || isButton(event, sf::Mouse::Button::Left)) {
        handleAction();
    } else if (event.kind == Kind::MouseMoved) {
        const float x = input_rules::clampPaddleX(frameX(event.position), frameSize().x);
        paddle.setPosition({x, paddle.getPosition().y});
    } else {
        return false;
    }
    return true;
}

// Playing and paused: Escape and the right button pause and resume.
void Game::handlePlayInput(const compat::InputEvent& event) {
    if (isKey(event, Key::Escape) || isButton(event, sf::Mouse::Button::Right))
        togglePause();
}

// The title, the result panel, the level intro and the high-score list.
void Game::handlePageInput(const compat::InputEvent& event) {
    if (isKey(event, Key::H) && state == GameState::Title)
        state = GameState::HighScores;
    else if (isKey(event, Key::Escape) && state == GameState::HighScores)
        state = GameState::Title;
    else if (isKey(event, Key::Escape))
        quit();
}

void Game::togglePause() {
    state = state == GameState::Playing ? GameState::Paused : GameState::Playing;
}

void Game::handleAction() {
    switch (state) {
    case GameState::Title:
        level = 1;
        score = 0;
        lives = kStartingLives;
        state = GameState::Playing;
        resetRound();
        break;
    case GameState::Playing:
        if (!ballLaunched) {
            ballVelocity = input_rules::launchVelocity(drawRandom(), level);
            ballLaunched = true;
        }
        break;
    case GameState::GameOver:
        if (qualifiesForHighScore()) {
            nameInput.clear();
            state = GameState::NameEntry;
        } else {
            state = GameState::HighScores;
        }
        break;
    case GameState::HighScores:
        state = GameState::Title;
        break;
    case GameState::LevelIntro:
        if (introCountdown <= 0.f) {
            state = GameState::Playing;
            resetRound();
        }
        break;
    case GameState::Paused:
        togglePause();  // resumes, as the pause panel's prompt says
        break;
    case GameState::NameEntry:
        break;
    }
}

void Game::movePaddleByKeyboard() {
    const bool left = isKeyHeld(Key::Left) || isKeyHeld(Key::A);
    const bool right = isKeyHeld(Key::Right) || isKeyHeld(Key::D);
    const float step = input_rules::keyboardStep(level);
    sf::Vector2f position = paddle.getPosition();
    if (left)
        position.x -= step;
    if (right)
        position.x += step;
    position.x = input_rules::clampPaddleX(position.x, frameSize().x);
    paddle.setPosition(position);
}
