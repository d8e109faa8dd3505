#include "app/Game.hpp"
#include "render/Layout.hpp"
#include "render/TextDraw.hpp"

void Game::render() {
    // What comes before the page lies beneath its veil.
    sceneVeil = render::veilAlpha(state);
    window->clear(Palette::Night);
    drawBackdrop();
    drawAurora();
    drawParticles();
    drawScene();
    sceneVeil = 0;
    drawPage();
    window->display();
}

// The play scene of the states that show it, whole or in part.
void Game::drawScene() {
    switch (state) {
    case GameState::Playing:
    case GameState::Paused:
        drawBricks();
        drawPaddleAndBall();
        drawHud();
        drawSidebar();
        break;
    case GameState::GameOver:
        drawBricks();
        drawHud();
        break;
    case GameState::LevelIntro:
        drawBricks();
        break;
    case GameState::Title:
    case GameState::NameEntry:
    case GameState::HighScores:
        break;
    }
}

void Game::drawPage() {
    switch (state) {
    case GameState::Title:
        drawTitleScreen();
        break;
    case GameState::Playing:
        break;
    case GameState::Paused:
        drawMessagePanel("PAUSE", "Ta en pust...", Palette::Amber);
        break;
    case GameState::GameOver:
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
        drawLevelIntro();
        break;
    }
}

void Game::buildBackdrop() {
    const sf::Vector2f size = frameSize();
    backdropLines = layout::backdropVertices(static_cast<unsigned>(size.x),
                                             static_cast<unsigned>(size.y));
}

void Game::drawBackdrop() {
    if (backdropLines.empty())
        return;
    if (sceneVeil == 0) {
        window->draw(backdropLines.data(), backdropLines.size(), sf::PrimitiveType::Lines);
        return;
    }
    sf::VertexArray lines(sf::PrimitiveType::Lines);
    for (const sf::Vertex& vertex : backdropLines)
        lines.append(vertex);
    paint(lines, render::Ink::Over);
}

void Game::drawAurora() {
    for (int i = 0; i < layout::kAuroraCircles; ++i) {
        const layout::AuroraCircle glow = layout::auroraCircle(i, animTime, frameSize().x);
        sf::CircleShape circle(glow.radius, kCirclePoints);
        circle.setOrigin({glow.radius, glow.radius});
        circle.setPosition(glow.centre);
        circle.setFillColor(glow.color);
        paint(circle, render::Ink::Glow);
    }
}

void Game::drawParticles() {
    // Where sparks overlap, their light reaches full white and stops there.
    // Beneath a veil that white is the veil's own: each spark's square is
    // capped at it afterwards, twice taking the pixel from that white.
    sf::VertexArray squares(sf::PrimitiveType::Triangles);
    const sf::Color cap = render::veiled(sf::Color::White, sceneVeil, render::Ink::Over);
    for (const Particle& particle : particles) {
        const float radius = layout::particleRadius(particle);
        sf::CircleShape spark(radius, kCirclePoints);
        spark.setOrigin({radius, radius});
        spark.setPosition(particle.position);
        spark.setFillColor(withAlpha(particle.color, layout::particleAlpha(particle)));
        paint(spark, render::Ink::Glow);
        if (sceneVeil == 0)
            continue;
        const sf::Vector2f a = particle.position - sf::Vector2f(radius, radius);
        const sf::Vector2f b = particle.position + sf::Vector2f(radius, radius);
        for (const sf::Vector2f corner : {a, sf::Vector2f(b.x, a.y), b, a, b, sf::Vector2f(a.x, b.y)})
            squares.append(sf::Vertex{corner, cap});
    }
    // K - (K - x) with each step held at 0 is min(x, K), to the bit.
    using Factor = sf::BlendMode::Factor;
    const sf::BlendMode fromCap(Factor::One, Factor::One, sf::BlendMode::Equation::Subtract,
                                Factor::Zero, Factor::One, sf::BlendMode::Equation::Add);
    for (int pass = 0; pass < 2 && squares.getVertexCount() > 0; ++pass)
        window->draw(squares, fromCap);
}

void Game::paint(sf::Shape& shape, render::Ink ink) {
    if (sceneVeil != 0) {
        shape.setFillColor(render::veiled(shape.getFillColor(), sceneVeil, ink));
        shape.setOutlineColor(render::veiled(shape.getOutlineColor(), sceneVeil, ink));
    }
    window->draw(shape, ink == render::Ink::Glow ? sf::RenderStates(sf::BlendAdd)
                                                : sf::RenderStates::Default);
}

void Game::paint(sf::Text& text) {
    if (sceneVeil != 0)
        text.setFillColor(render::veiled(text.getFillColor(), sceneVeil, render::Ink::Over));
    window->draw(text);
}

void Game::paint(sf::VertexArray& vertices, render::Ink ink) {
    if (sceneVeil != 0)
        for (std::size_t i = 0; i < vertices.getVertexCount(); ++i)
            vertices[i].color = render::veiled(vertices[i].color, sceneVeil, ink);
    window->draw(vertices, ink == render::Ink::Glow ? sf::RenderStates(sf::BlendAdd)
                                                   : sf::RenderStates::Default);
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
    paint(line);
}
