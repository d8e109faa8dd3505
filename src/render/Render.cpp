#include "app/Game.hpp"
#include "render/Layout.hpp"
#include "render/TextDraw.hpp"

namespace {

void drawAurora(sf::RenderWindow& window, float animTime, float w) {
    for (int i = 0; i < 3; ++i) {
        const layout::AuroraCircle glow = layout::auroraCircle(i, animTime, w);
        sf::CircleShape circle(glow.radius, kCirclePoints);
        circle.setOrigin({glow.radius, glow.radius});
        circle.setPosition(glow.centre);
        circle.setFillColor(glow.color);
        window.draw(circle, sf::RenderStates(sf::BlendAdd));
    }
}

void drawParticles(sf::RenderWindow& window, const std::vector<Particle>& particles) {
    for (const Particle& particle : particles) {
        const float radius = layout::particleRadius(particle);
        sf::CircleShape spark(radius, kCirclePoints);
        spark.setOrigin({radius, radius});
        spark.setPosition(particle.position);
        spark.setFillColor(withAlpha(particle.color, layout::particleAlpha(particle)));
        window.draw(spark, sf::RenderStates(sf::BlendAdd));
    }
}

}  // namespace

void Game::render() {
    window->clear(Palette::Night);
    if (!backdropLines.empty())
        window->draw(backdropLines.data(), backdropLines.size(), sf::PrimitiveType::Lines);
    drawAurora(*window, animTime, frameSize().x);
    drawParticles(*window, particles);

    switch (state) {
    case GameState::Title:
        drawTitleScreen();
        break;
    case GameState::Playing:
    case GameState::Paused:
        drawBricks();
        drawPaddleAndBall();
        drawHud();
        drawSidebar();
        if (state == GameState::Paused)
            drawMessagePanel("PAUSE", "Ta en pust...", Palette::Amber);
        break;
    case GameState::GameOver:
        drawBricks();
        drawHud();
        // A won game leaves the level one past the last.
        if (level > kLevelCount)
            drawMessagePanel("GRATULERER!", "Du fullforte alle levels!", Palette::Amber);
        else
            drawMessagePanel("GAME OVER", "Isbrekkeren sank...", Palette::Red);
        break;
    case GameState::NameEntry:
        drawNameEntry();
        break;
    case GameState::HighScores:
        drawHighScoreList();
        break;
    case GameState::LevelIntro:
        drawBricks();
        drawLevelIntro();
        break;
    }

    window->display();
}

void Game::buildBackdrop() {
    const sf::Vector2f size = frameSize();
    backdropLines = layout::backdropVertices(static_cast<unsigned>(size.x),
                                             static_cast<unsigned>(size.y));
}

void Game::drawText(const std::string& text, float x, float y, unsigned characterSize,
                    sf::Color color, bool centered) {
    if (!render::fontLoaded(font))
        return;
    sf::Text line = render::makeGameText(font, text, characterSize, color);
    if (centered) {
        const compat::Box bounds = compat::toBox(line.getLocalBounds());
        line.setOrigin({bounds.left + bounds.width / 2.f, bounds.top + bounds.height / 2.f});
    }
    line.setPosition({x, y});
    window->draw(line);
}
