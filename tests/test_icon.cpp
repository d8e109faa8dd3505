// The icon at every theme size: the night field reaches every corner, and the
// icebreaker and the frost ball still show at full colour, even at 16 pixels.
#include "app/SfmlCompat.hpp"
#include "app/Types.hpp"
#include "render/Icon.hpp"

#include <gtest/gtest.h>

TEST(Icon, EverySizeShowsTheNightFieldTheIcebreakerAndTheBall) {
    for (const unsigned size : kIconSizes) {
        const sf::Image icon = drawIcon(size);
        ASSERT_EQ(icon.getSize(), sf::Vector2u(size, size));
        for (const unsigned x : {0u, size - 1})
            for (const unsigned y : {0u, size - 1})
                EXPECT_EQ(compat::pixelAt(icon, x, y), Palette::Night) << size << " px at " << x << "," << y;
        int teal = 0;
        int frost = 0;
        for (unsigned y = 0; y < size; ++y) {
            for (unsigned x = 0; x < size; ++x) {
                teal += compat::pixelAt(icon, x, y) == Palette::Teal;
                frost += compat::pixelAt(icon, x, y) == Palette::Frost;
            }
        }
        EXPECT_GT(teal, 0) << size << " px";
        EXPECT_GT(frost, 0) << size << " px";
    }
}
