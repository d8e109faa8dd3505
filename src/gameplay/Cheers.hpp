// The short lines the HUD shows after a broken brick or a lost ball.
#pragma once

#include <array>
#include <string>

namespace cheers {

inline constexpr std::array<const char*, 4> kBrickBroken{
    "Presist!", "Bra skudd!", "Iskaldt!", "Knust!"};
inline constexpr std::array<const char*, 3> kBallLost{
    "Ikke gi opp!", "Brimnor gir aldri opp!", "Pr\xC3\xB8v igjen!"};

// The line at index draw mod the list length; draw is 0..32767.
std::string brickBroken(int draw);
std::string ballLost(int draw);

}  // namespace cheers
