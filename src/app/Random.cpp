#include "app/Random.hpp"

#include <cstdlib>

void seedRandom(unsigned seed) { std::srand(seed); }

int drawRandom() {
    constexpr unsigned long range = static_cast<unsigned long>(kRandomMax) + 1;
    constexpr unsigned long randValues = static_cast<unsigned long>(RAND_MAX) + 1;
    if constexpr (randValues == range) {
        return std::rand();
    } else {
        // Split rand's range into 32768 equal buckets and reject the ragged
        // tail, so every result is equally likely. glibc's 2^31 values split
        // evenly and nothing is rejected; the high bits are the better ones.
        constexpr unsigned long bucket = randValues / range;
        constexpr unsigned long limit = bucket * range;
        unsigned long r;
        do {
            r = static_cast<unsigned long>(std::rand());
        } while (r >= limit);
        return static_cast<int>(r / bucket);
    }
}
