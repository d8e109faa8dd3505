#include "gameplay/Cheers.hpp"

namespace cheers {

namespace {
template <std::size_t N>
std::string pick(const std::array<const char*, N>& lines, int draw) {
    return lines[static_cast<std::size_t>(draw) % N];
}
}  // namespace

std::string brickBroken(int draw) { return pick(kBrickBroken, draw); }
std::string ballLost(int draw) { return pick(kBallLost, draw); }

}  // namespace cheers
