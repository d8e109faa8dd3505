#include "app/Game.hpp"
#include "render/Layout.hpp"
#include "render/TextDraw.hpp"

#include <string>

void Game::drawBricks() {
    for (const Brick& brick : bricks) {
        if (!brick.alive)
            continue;
        // A copy keeps the brick's transform; it reaches 4 px past each edge.
        sf::RectangleShape halo = brick.shape;
        halo.setSize({108.f, 38.f});
        halo.setPosition(brick.shape.getPosition() - sf::Vector2f(4.f, 4.f));
        halo.setFillColor(withAlpha(brick.color, 25));
        halo.setOutlineThickness(0.f);
        window.draw(halo, sf::RenderStates(sf::BlendAdd));
        window.draw(brick.shape);
    }
}

void Game::drawPaddleAndBall() {
    for (int k = 3; k >= 1; --k) {
        const sf::Vector2f size = layout::paddleGlowSize(k);
        sf::RectangleShape ring(size);
        ring.setOrigin({size.x / 2.f, size.y / 2.f});
        ring.setPosition(paddle.getPosition());
        ring.setFillColor(withAlpha(Palette::Teal, layout::paddleGlowAlpha(paddleGlowPhase, k)));
        window.draw(ring, sf::RenderStates(sf::BlendAdd));
    }
    window.draw(paddle);

    for (int k = 3; k >= 1; --k) {
        const float radius = layout::ballGlowRadius(k);
        sf::CircleShape ring(radius, 30);
        ring.setOrigin({radius, radius});
        ring.setPosition(ball.getPosition());
        ring.setFillColor(withAlpha(Palette::IceBlue, layout::ballGlowAlpha(k)));
        window.draw(ring, sf::RenderStates(sf::BlendAdd));
    }
    window.draw(ball);
}

void Game::drawHud() {
    const float w = frameSize().x;
    const float h = frameSize().y;

    drawText(layout::hudLevelText(level), 20.f, 20.f, 20, Palette::Violet, false);
    drawText("POENG: " + std::to_string(score), 20.f, 48.f, 20, Palette::Teal, false);
    drawText("BEST: " + std::to_string(bestScore), w / 2.f, 20.f, 20, Palette::IceBlue, true);

    if (layout::hudShowsBrickCount(w, h) && render::fontLoaded(font)) {
        // Right-aligned in the top-right corner: the text ends 20 px from the edge.
        sf::Text count = render::makeGameText(
            font, "BRIKKER: " + std::to_string(layout::aliveBrickCount(bricks)), 16,
            sf::Color(100, 200, 160, 180));
        const compat::Box bounds = compat::toBox(count.getLocalBounds());
        count.setOrigin({bounds.right(), 0.f});
        count.setPosition({w - 20.f, 20.f});
        window.draw(count);
    }

    for (int i = 0; i < lives; ++i) {
        sf::CircleShape marker(10.f, 30);
        marker.setOutlineThickness(1.5f);
        marker.setFillColor(Palette::Teal);
        marker.setOutlineColor(sf::Color(100, 230, 180, 255));
        marker.setPosition(layout::hudMarkerPosition(w, i));
        window.draw(marker);
    }

    if (cheerTimer > 0.f)
        drawText(cheerText, w / 2.f, h - 100.f, 24,
                 withAlpha(Palette::Amber, layout::cheerAlpha(cheerTimer)), true);

    drawText(std::string("[Mus] Beveg/klikk   [F11] Fullskjerm   [F1] ") + SITE_LABEL, w / 2.f,
             h - 28.f, 13, withAlpha(Palette::IceBlue, 90), true);
}
