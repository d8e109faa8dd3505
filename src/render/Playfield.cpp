#include "app/Game.hpp"
#include "render/Layout.hpp"
#include "render/TextDraw.hpp"

#include <string>

namespace {

void addQuad(sf::VertexArray& triangles, sf::Vector2f a, sf::Vector2f b, sf::Vector2f c,
             sf::Vector2f d, sf::Color color) {
    for (const sf::Vector2f corner : {a, b, c, a, c, d})
        triangles.append(sf::Vertex{corner, color});
}

void addRectangle(sf::VertexArray& triangles, sf::Vector2f topLeft, sf::Vector2f size,
                  sf::Color color) {
    addQuad(triangles, topLeft, topLeft + sf::Vector2f(size.x, 0.f), topLeft + size,
            topLeft + sf::Vector2f(0.f, size.y), color);
}

}  // namespace

void Game::drawBricks() {
    // Two draw calls rather than three per brick: on a software renderer each
    // call costs more than its pixels. A halo reaches 4 px past its brick and
    // a neighbour's outline starts 5.5 px away, so drawing every halo before
    // every brick leaves each pixel as drawing them in turn does.
    sf::VertexArray halos(sf::PrimitiveType::Triangles), shapes(sf::PrimitiveType::Triangles);
    for (const Brick& brick : bricks) {
        if (!brick.alive)
            continue;
        const sf::Vector2f at = brick.shape.getPosition(), size = brick.shape.getSize();
        addRectangle(halos, at - sf::Vector2f(4.f, 4.f), size + sf::Vector2f(8.f, 8.f),
                     withAlpha(brick.color, 25));
        addRectangle(shapes, at, size, brick.shape.getFillColor());
        // The outline: a band outside the edges, mitred at the corners.
        const float t = brick.shape.getOutlineThickness();
        const sf::Vector2f in[] = {at, at + sf::Vector2f(size.x, 0.f), at + size,
                                   at + sf::Vector2f(0.f, size.y)};
        const sf::Vector2f out[] = {in[0] + sf::Vector2f(-t, -t), in[1] + sf::Vector2f(t, -t),
                                    in[2] + sf::Vector2f(t, t), in[3] + sf::Vector2f(-t, t)};
        for (int i = 0; i < 4; ++i) {
            const int j = (i + 1) % 4;
            addQuad(shapes, in[i], out[i], out[j], in[j], brick.shape.getOutlineColor());
        }
    }
    paint(halos, render::Ink::Glow);
    paint(shapes, render::Ink::Over);
}

void Game::drawPaddleAndBall() {
    for (int k = 3; k >= 1; --k) {
        const sf::Vector2f size = layout::paddleGlowSize(k);
        sf::RectangleShape ring(size);
        ring.setOrigin({size.x / 2.f, size.y / 2.f});
        ring.setPosition(paddle.getPosition());
        ring.setFillColor(withAlpha(Palette::Teal, layout::paddleGlowAlpha(paddleGlowPhase, k)));
        paint(ring, render::Ink::Glow);
    }
    sf::RectangleShape hull = paddle;  // painting veils the colours it draws
    paint(hull);

    for (int k = 3; k >= 1; --k) {
        const float radius = layout::ballGlowRadius(k);
        sf::CircleShape ring(radius, kCirclePoints);
        ring.setOrigin({radius, radius});
        ring.setPosition(ball.getPosition());
        ring.setFillColor(withAlpha(Palette::IceBlue, layout::ballGlowAlpha(k)));
        paint(ring, render::Ink::Glow);
    }
    sf::CircleShape shownBall = ball;
    paint(shownBall);
}

void Game::drawHud() {
    const float w = frameSize().x;
    const float h = frameSize().y;

    drawText(layout::hudLevelText(level), 20.f, 20.f, 20, Palette::Violet, false);
    drawText("POENG: " + std::to_string(score), 20.f, layout::kHudSecondRow, 20, Palette::Teal, false);
    drawText("BEST: " + std::to_string(bestScore), w / 2.f, 20.f, 20, Palette::IceBlue, true);

    if (layout::hudShowsBrickCount(w, h) && render::fontLoaded(font)) {
        // Right-aligned in the top-right corner: the text ends 20 px from the edge.
        sf::Text count = render::makeGameText(
            font, "BRIKKER: " + std::to_string(layout::aliveBrickCount(bricks)), 16,
            sf::Color(100, 200, 160, 180));
        const compat::Box bounds = compat::toBox(count.getLocalBounds());
        count.setOrigin({bounds.right(), 0.f});
        count.setPosition({w - 20.f, 20.f});
        paint(count);
    }

    for (int i = 0; i < lives; ++i) {
        sf::CircleShape marker(10.f, kCirclePoints);
        marker.setOutlineThickness(1.5f);
        marker.setFillColor(Palette::Teal);
        marker.setOutlineColor(kLifeMarkerOutlineColor);
        marker.setPosition(layout::hudMarkerPosition(w, i));
        paint(marker);
    }

    if (cheerTimer > 0.f)
        drawText(cheerText, w / 2.f, h - 100.f, 24,
                 withAlpha(Palette::Amber, layout::cheerAlpha(cheerTimer)), true);

    drawText(std::string("[Mus] Beveg/klikk   [F11] Fullskjerm   [F1] ") + SITE_LABEL, w / 2.f,
             h - 28.f, 13, withAlpha(Palette::IceBlue, 90), true);
}
