#include "base/random.h"

namespace {
std::uint32_t state = kRandStartSeed;
}

void Srand(std::uint32_t seed) { state = seed; }

int Rand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}
