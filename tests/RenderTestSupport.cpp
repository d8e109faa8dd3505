#include "RenderTestSupport.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace render_test {

Rgb rgb(sf::Color c) { return {double(c.r), double(c.g), double(c.b)}; }

Rgb over(Rgb dst, sf::Color src) {
    const double a = src.a / 255.0;
    return {src.r * a + dst.r * (1 - a), src.g * a + dst.g * (1 - a),
            src.b * a + dst.b * (1 - a)};
}

Rgb add(Rgb dst, sf::Color src) {
    const double a = src.a / 255.0;
    return {std::min(255.0, src.r * a + dst.r), std::min(255.0, src.g * a + dst.g),
            std::min(255.0, src.b * a + dst.b)};
}

Rgb backdropAt(int px, int py, float w, float animTime) {
    auto onGrid = [](int v) {
        const int m = ((v % 60) + 60) % 60;
        return m <= 1 || m == 59;
    };
    EXPECT_FALSE(onGrid(px) || onGrid(py)) << "sample (" << px << ", " << py
                                           << ") lies on the backdrop grid";

    // Three domes of violet, teal and ice blue at alpha 18, hung on the top edge.
    const sf::Color glow[3] = {{108, 92, 231, 18}, {29, 158, 117, 18}, {55, 138, 221, 18}};
    const double t = animTime;
    Rgb colour = rgb(sf::Color(4, 8, 20));
    for (int i = 0; i < 3; ++i) {
        const double r = 250 + 70 * std::sin(t + 2.1 * i);
        const double cx = w * (0.25 + 0.25 * i) + 40 * std::sin(0.7 * t + i);
        const double cy = 30 * std::sin(1.3 * i + 0.5 * t);
        const double d = std::hypot(px + 0.5 - cx, py + 0.5 - cy);
        // A 30-sided polygon: its edge runs between 0.9945 r and r.
        EXPECT_FALSE(d > 0.99 * r - 2 && d < r + 2)
            << "sample (" << px << ", " << py << ") lies on the rim of aurora dome " << i;
        if (d <= 0.99 * r - 2)
            colour = add(colour, glow[i]);
    }
    return colour;
}

::testing::AssertionResult colorNear(sf::Color actual, Rgb expected, double tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance &&
        std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "pixel (" << int(actual.r) << ", " << int(actual.g) << ", " << int(actual.b)
        << ") is not within " << tolerance << " of (" << expected.r << ", " << expected.g
        << ", " << expected.b << ")";
    return ::testing::AssertionFailure() << out.str();
}

sf::Image renderAndCapture(Game& game) {
    game.render();
    return compat::captureWindow(game.window);
}

sf::Color pixel(const sf::Image& image, int x, int y) {
    return compat::pixelAt(image, static_cast<unsigned>(x), static_cast<unsigned>(y));
}

std::optional<InkBox> findInk(const sf::Image& image, int x0, int y0, int x1, int y1, Rgb color,
                              double tolerance, Rgb under, double minCoverage) {
    const sf::Vector2u size = image.getSize();
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, static_cast<int>(size.x));
    y1 = std::min(y1, static_cast<int>(size.y));
    const Rgb d{color.r - under.r, color.g - under.g, color.b - under.b};
    const double dd = d.r * d.r + d.g * d.g + d.b * d.b;
    std::optional<InkBox> box;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const Rgb p = rgb(pixel(image, x, y));
            const Rgb q{p.r - under.r, p.g - under.g, p.b - under.b};
            // How much of the text colour the pixel carries, and how far off
            // the blend line it lies.
            const double c = dd > 0 ? (q.r * d.r + q.g * d.g + q.b * d.b) / dd : 0.0;
            const double off = std::max({std::abs(q.r - c * d.r), std::abs(q.g - c * d.g),
                                         std::abs(q.b - c * d.b)});
            if (c < minCoverage || c > 1.1 || off > tolerance)
                continue;
            if (!box)
                box = InkBox{x, y, x, y, 0};
            box->left = std::min(box->left, x);
            box->right = std::max(box->right, x);
            box->top = std::min(box->top, y);
            box->bottom = std::max(box->bottom, y);
            ++box->count;
        }
    return box;
}

compat::Box textBounds(const sf::Font& font, const std::string& utf8, unsigned size) {
    const sf::Text text = compat::makeText(font, sf::String::fromUtf8(utf8.begin(), utf8.end()),
                                           size);
    return compat::toBox(text.getLocalBounds());
}

void prepareQuietGame(Game& game) {
    game.isKeyHeld = [](sf::Keyboard::Key) { return false; };
    game.openUrl = [](const std::string&) {};
    game.bricks.clear();
    game.particles.clear();
    game.animTime = 0.f;
    game.paddleGlowPhase = 0.f;
    game.cheerTimer = 0.f;
    game.highScores.clear();

    game.paddle.setSize({130.f, 18.f});
    game.paddle.setOrigin({65.f, 9.f});
    game.paddle.setPosition({640.f, 890.f});
    game.paddle.setFillColor(sf::Color(29, 158, 117, 255));
    game.paddle.setOutlineThickness(2.f);
    game.paddle.setOutlineColor(sf::Color(100, 230, 180, 180));

    game.ball.setRadius(11.f);
    game.ball.setOrigin({11.f, 11.f});
    game.ball.setPosition({640.f, 859.f});
    game.ball.setFillColor(sf::Color(216, 232, 248, 255));
    game.ball.setOutlineThickness(1.5f);
    game.ball.setOutlineColor(sf::Color(55, 138, 221, 200));
}

Brick makeBrick(sf::Vector2f topLeft, sf::Color base, sf::Color fill, sf::Color outline) {
    Brick brick;
    brick.shape.setSize({100.f, 30.f});
    brick.shape.setPosition(topLeft);
    brick.shape.setFillColor(fill);
    brick.shape.setOutlineThickness(1.5f);
    brick.shape.setOutlineColor(outline);
    brick.color = base;
    brick.alive = true;
    return brick;
}

}  // namespace render_test
