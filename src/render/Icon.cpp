#include "render/Icon.hpp"

#include "app/SfmlCompat.hpp"
#include "app/Types.hpp"
#include "gameplay/Round.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A straight-alpha colour laid over an opaque one, scaled by coverage.
sf::Color over(sf::Color below, sf::Color above, float coverage = 1.f) {
    const float a = static_cast<float>(above.a) / 255.f * coverage;
    const auto mix = [a](std::uint8_t b, std::uint8_t t) {
        return static_cast<std::uint8_t>(std::lround(b + (static_cast<float>(t) - b) * a));
    };
    return {mix(below.r, above.r), mix(below.g, above.g), mix(below.b, above.b), 255};
}

int px(float value) { return static_cast<int>(std::lround(value)); }

class Canvas {
public:
    explicit Canvas(unsigned size)
        : image(compat::filledImage(size, size, Palette::Night)), size(static_cast<int>(size)) {}

    void blend(int x, int y, sf::Color color, float coverage = 1.f) {
        if (x < 0 || y < 0 || x >= size || y >= size)
            return;
        const auto ux = static_cast<unsigned>(x);
        const auto uy = static_cast<unsigned>(y);
        compat::setPixel(image, ux, uy, over(compat::pixelAt(image, ux, uy), color, coverage));
    }

    void fillRect(int left, int top, int width, int height, sf::Color color) {
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                blend(x, y, color);
    }

    // Edges are smoothed with 4 × 4 samples a pixel.
    void disc(float cx, float cy, float radius, sf::Color color) {
        for (int y = px(cy - radius) - 1; y <= px(cy + radius); ++y) {
            for (int x = px(cx - radius) - 1; x <= px(cx + radius); ++x) {
                int inside = 0;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        const float dx = static_cast<float>(x) + (sx + 0.5f) / 4.f - cx;
                        const float dy = static_cast<float>(y) + (sy + 0.5f) / 4.f - cy;
                        inside += dx * dx + dy * dy <= radius * radius ? 1 : 0;
                    }
                }
                if (inside > 0)
                    blend(x, y, color, static_cast<float>(inside) / 16.f);
            }
        }
    }

    sf::Image image;
    int size;
};

// Faint backdrop lines, kept off the border so the corners stay night.
void drawGrid(Canvas& canvas) {
    if (canvas.size < 64)
        return;
    for (int i = 1; i < 8; ++i) {
        const int at = canvas.size * i / 8;
        canvas.fillRect(at, 1, 1, canvas.size - 2, Palette::GridLine);
        canvas.fillRect(1, at, canvas.size - 2, 1, Palette::GridLine);
    }
}

// A small grid of ice bricks at the top, one knocked out where the ball went.
void drawBricks(Canvas& canvas) {
    const int s = canvas.size;
    const bool tiny = s < 32;
    const int columns = tiny ? 2 : (s < 64 ? 3 : 4);
    const int rows = tiny ? 2 : 3;
    const int margin = std::max(1, px(s * 0.1f));
    const int gap = std::max(1, px(s / 40.f));
    const int height = std::max(2, px(s * 0.085f));
    const int width = (s - 2 * margin - (columns - 1) * gap) / columns;
    const int left = (s - columns * width - (columns - 1) * gap) / 2;
    const int rim = std::max(1, px(s / 64.f));
    for (int row = 0; row < rows; ++row) {
        const sf::Color base = brickRowColors[static_cast<std::size_t>(row)];
        for (int column = 0; column < columns; ++column) {
            if (!tiny && row == rows - 1 && column == columns - 2)
                continue;
            const int x = left + column * (width + gap);
            const int y = margin + row * (height + gap);
            if (tiny) {
                canvas.fillRect(x, y, width, height, base);
                continue;
            }
            canvas.fillRect(x, y, width, height, brickOutlineColor(base));
            canvas.fillRect(x + rim, y + rim, width - 2 * rim, height - 2 * rim, brickFillColor(base));
        }
    }
}

// The icebreaker near the bottom, its rim around it as in play.
void drawPaddle(Canvas& canvas) {
    const int s = canvas.size;
    const int width = px(s * 0.44f);
    const int height = std::max(2, px(s * 0.1f));
    const int left = px(s * 0.42f) - width / 2;
    const int top = s - px(s * 0.14f) - height;
    const int rim = s < 32 ? 0 : std::max(1, px(s / 40.f));
    canvas.fillRect(left - rim, top - rim, width + 2 * rim, height + 2 * rim, kPaddleOutlineColor);
    canvas.fillRect(left, top, width, height, Palette::Teal);
}

// The frost ball on its way up to the gap, a fading trail behind it.
void drawBall(Canvas& canvas) {
    const int s = canvas.size;
    const float radius = std::max(1.6f, s * 0.07f);
    const float rim = s < 32 ? 0.f : std::max(1.f, s / 64.f);
    const float cx = static_cast<float>(px(s * 0.6f));
    const float cy = static_cast<float>(px(s * 0.56f));
    if (s >= 48) {
        for (int step = 1; step <= 2; ++step) {
            const float back = static_cast<float>(step) * radius * 1.1f;
            canvas.disc(cx - back, cy + back, radius * (1.f - step * 0.25f),
                        withAlpha(Palette::Frost, static_cast<std::uint8_t>(90 - step * 30)));
        }
    }
    if (s >= 64)
        canvas.disc(cx, cy, radius * 2.2f, withAlpha(Palette::IceBlue, 45));
    if (rim > 0.f)
        canvas.disc(cx, cy, radius + rim, kBallOutlineColor);
    canvas.disc(cx, cy, radius, Palette::Frost);
}

}  // namespace

sf::Image drawIcon(unsigned size) {
    Canvas canvas(size);
    drawGrid(canvas);
    drawBricks(canvas);
    drawPaddle(canvas);
    drawBall(canvas);
    return canvas.image;
}
