// The program's one random sequence: the C library's rand, seeded once.
#pragma once

#include <cstdint>

inline constexpr int kRandomMax = 32767;

// Seeds the C library generator; the Game constructor calls it once.
void seedRandom(unsigned seed);

// One draw from 0 to 32767 inclusive, uniform, whatever RAND_MAX the C
// library has. Every random number of the game comes through here.
int drawRandom();
