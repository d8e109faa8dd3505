// The one place that knows which SFML the game is built against. The game is
// written in SFML 3's terms; on SFML 2.5/2.6 these helpers fill the gaps.
// Nothing else in the code base may test SFML_VERSION_MAJOR.
#pragma once

#include <SFML/Audio.hpp>
#include <SFML/Graphics.hpp>
#include <SFML/Window.hpp>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace compat {

// The input the game reacts to; every other window event is dropped.
struct InputEvent {
    enum class Kind {
        Closed, TextEntered, KeyPressed, KeyReleased, MouseButtonPressed, MouseMoved, FocusLost,
        FocusGained
    };

    Kind kind = Kind::Closed;
    std::uint32_t unicode = 0;                              // TextEntered
    sf::Keyboard::Key key = sf::Keyboard::Key::Unknown;     // KeyPressed, KeyReleased
    sf::Mouse::Button button = sf::Mouse::Button::Left;     // MouseButtonPressed
    sf::Vector2i position;                                  // MouseButtonPressed, MouseMoved

    static InputEvent closed() { return {}; }
    static InputEvent text(std::uint32_t codePoint) {
        InputEvent e; e.kind = Kind::TextEntered; e.unicode = codePoint; return e;
    }
    static InputEvent keyPressed(sf::Keyboard::Key k) {
        InputEvent e; e.kind = Kind::KeyPressed; e.key = k; return e;
    }
    static InputEvent keyReleased(sf::Keyboard::Key k) {
        InputEvent e; e.kind = Kind::KeyReleased; e.key = k; return e;
    }
    static InputEvent focusLost() { InputEvent e; e.kind = Kind::FocusLost; return e; }
    static InputEvent focusGained() { InputEvent e; e.kind = Kind::FocusGained; return e; }
    static InputEvent mousePressed(sf::Mouse::Button b, sf::Vector2i at = {}) {
        InputEvent e; e.kind = Kind::MouseButtonPressed; e.button = b; e.position = at; return e;
    }
    static InputEvent mouseMoved(sf::Vector2i at) {
        InputEvent e; e.kind = Kind::MouseMoved; e.position = at; return e;
    }
};

// Axis-aligned box with named edges, whatever FloatRect looks like.
struct Box {
    float left = 0.f;
    float top = 0.f;
    float width = 0.f;
    float height = 0.f;

    float right() const { return left + width; }
    float bottom() const { return top + height; }
};

#if SFML_VERSION_MAJOR >= 3

// Pops window events until one the game handles turns up; empty when drained.
inline std::optional<InputEvent> pollInput(sf::Window& window) {
    while (const std::optional<sf::Event> event = window.pollEvent()) {
        if (event->is<sf::Event::Closed>())
            return InputEvent::closed();
        if (const auto* text = event->getIf<sf::Event::TextEntered>())
            return InputEvent::text(static_cast<std::uint32_t>(text->unicode));
        if (const auto* key = event->getIf<sf::Event::KeyPressed>())
            return InputEvent::keyPressed(key->code);
        if (const auto* key = event->getIf<sf::Event::KeyReleased>())
            return InputEvent::keyReleased(key->code);
        if (event->is<sf::Event::FocusLost>())
            return InputEvent::focusLost();
        if (event->is<sf::Event::FocusGained>())
            return InputEvent::focusGained();
        if (const auto* button = event->getIf<sf::Event::MouseButtonPressed>())
            return InputEvent::mousePressed(button->button, button->position);
        if (const auto* moved = event->getIf<sf::Event::MouseMoved>())
            return InputEvent::mouseMoved(moved->position);
    }
    return std::nullopt;
}

inline sf::VideoMode videoMode(unsigned width, unsigned height, unsigned bitsPerPixel) {
    return sf::VideoMode({width, height}, bitsPerPixel);
}

inline sf::Vector2u modeSize(const sf::VideoMode& mode) { return mode.size; }

inline void createWindowed(sf::RenderWindow& window, const sf::VideoMode& mode,
                           const sf::String& title, std::uint32_t style) {
    window.create(mode, title, style, sf::State::Windowed);
}

// The state overload: the library's default style applies.
inline void createFullscreen(sf::RenderWindow& window, const sf::VideoMode& mode,
                             const sf::String& title) {
    window.create(mode, title, sf::State::Fullscreen);
}

inline bool openFont(sf::Font& font, const std::filesystem::path& path) {
    return font.openFromFile(path);
}

inline sf::Text makeText(const sf::Font& font, const sf::String& string, unsigned characterSize) {
    return sf::Text(font, string, characterSize);
}

inline Box toBox(const sf::FloatRect& rect) {
    return {rect.position.x, rect.position.y, rect.size.x, rect.size.y};
}

inline std::optional<Box> findIntersection(const sf::FloatRect& a, const sf::FloatRect& b) {
    if (const std::optional<sf::FloatRect> overlap = a.findIntersection(b))
        return toBox(*overlap);
    return std::nullopt;
}

inline void loadMonoSamples(sf::SoundBuffer& buffer, const std::vector<std::int16_t>& samples,
                            unsigned sampleRate) {
    // A buffer that fails to load plays as silence.
    (void)buffer.loadFromSamples(samples.data(), samples.size(), 1, sampleRate,
                                 {sf::SoundChannel::Mono});
}

inline sf::Image captureWindow(const sf::RenderWindow& window) {
    sf::Texture texture(window.getSize());
    texture.update(window);
    return texture.copyToImage();
}

inline sf::Color pixelAt(const sf::Image& image, unsigned x, unsigned y) {
    return image.getPixel({x, y});
}

inline sf::Image filledImage(unsigned width, unsigned height, sf::Color color) {
    return sf::Image({width, height}, color);
}

inline void setPixel(sf::Image& image, unsigned x, unsigned y, sf::Color color) {
    image.setPixel({x, y}, color);
}

inline void setIcon(sf::Window& window, const sf::Image& icon) {
    window.setIcon(icon.getSize(), icon.getPixelsPtr());
}

#else  // SFML 2.5 / 2.6

inline std::optional<InputEvent> pollInput(sf::Window& window) {
    sf::Event event;
    while (window.pollEvent(event)) {
        switch (event.type) {
        case sf::Event::Closed:
            return InputEvent::closed();
        case sf::Event::TextEntered:
            return InputEvent::text(static_cast<std::uint32_t>(event.text.unicode));
        case sf::Event::KeyPressed:
            return InputEvent::keyPressed(event.key.code);
        case sf::Event::KeyReleased:
            return InputEvent::keyReleased(event.key.code);
        case sf::Event::LostFocus:
            return InputEvent::focusLost();
        case sf::Event::GainedFocus:
            return InputEvent::focusGained();
        case sf::Event::MouseButtonPressed:
            return InputEvent::mousePressed(event.mouseButton.button,
                                            {event.mouseButton.x, event.mouseButton.y});
        case sf::Event::MouseMoved:
            return InputEvent::mouseMoved({event.mouseMove.x, event.mouseMove.y});
        default:
            break;
        }
    }
    return std::nullopt;
}

inline sf::VideoMode videoMode(unsigned width, unsigned height, unsigned bitsPerPixel) {
    return sf::VideoMode(width, height, bitsPerPixel);
}

inline sf::Vector2u modeSize(const sf::VideoMode& mode) { return {mode.width, mode.height}; }

inline void createWindowed(sf::RenderWindow& window, const sf::VideoMode& mode,
                           const sf::String& title, std::uint32_t style) {
    window.create(mode, title, style);
}

inline void createFullscreen(sf::RenderWindow& window, const sf::VideoMode& mode,
                             const sf::String& title) {
    window.create(mode, title, sf::Style::Fullscreen);
}

inline bool openFont(sf::Font& font, const std::filesystem::path& path) {
    return font.loadFromFile(path.string());
}

inline sf::Text makeText(const sf::Font& font, const sf::String& string, unsigned characterSize) {
    return sf::Text(string, font, characterSize);
}

inline Box toBox(const sf::FloatRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

inline std::optional<Box> findIntersection(const sf::FloatRect& a, const sf::FloatRect& b) {
    sf::FloatRect overlap;
    if (a.intersects(b, overlap))
        return toBox(overlap);
    return std::nullopt;
}

inline void loadMonoSamples(sf::SoundBuffer& buffer, const std::vector<std::int16_t>& samples,
                            unsigned sampleRate) {
    (void)buffer.loadFromSamples(samples.data(), samples.size(), 1, sampleRate);
}

inline sf::Image captureWindow(const sf::RenderWindow& window) {
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

inline sf::Color pixelAt(const sf::Image& image, unsigned x, unsigned y) {
    return image.getPixel(x, y);
}

inline sf::Image filledImage(unsigned width, unsigned height, sf::Color color) {
    sf::Image image;
    image.create(width, height, color);
    return image;
}

inline void setPixel(sf::Image& image, unsigned x, unsigned y, sf::Color color) {
    image.setPixel(x, y, color);
}

inline void setIcon(sf::Window& window, const sf::Image& icon) {
    window.setIcon(icon.getSize().x, icon.getSize().y, icon.getPixelsPtr());
}

#endif

}  // namespace compat
