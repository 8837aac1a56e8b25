// The process's shared pseudo-random generator is the engine's (engine/random).
// Programs that use the sound layer without the engine (tools, the sound
// tests) get this stand-in with the same rule; the engine's definition
// replaces it wherever the engine is linked.
#include <cstdint>

namespace {
std::uint32_t state = 1;
}

__attribute__((weak)) void Srand(std::uint32_t seed) { state = seed; }

__attribute__((weak)) int Rand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}
