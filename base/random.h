/// @file
/// The process-wide pseudo-random generator: the linear congruential rule
/// state = state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 0x7FFF.
/// The C library's rand() is never used, so runs are reproducible everywhere.
#pragma once

#include <cstdint>

constexpr int kRandMax = 0x7FFF;
/// The state a process starts with.
constexpr std::uint32_t kRandStartSeed = 1;

void Srand(std::uint32_t seed);
int Rand();
