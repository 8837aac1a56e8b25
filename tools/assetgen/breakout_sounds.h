// The brick game's three short sounds, 16-bit mono PCM at 22050 Hz: a soft
// "bonk" for the paddle, a bright "tink" for a brick and a falling whine for
// a lost ball.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

inline constexpr int kBreakoutSoundRate = 22050;

std::vector<std::int16_t> MakePaddleHitSamples();  // 0.12 s
std::vector<std::int16_t> MakeBrickHitSamples();   // 0.15 s
std::vector<std::int16_t> MakeLostBallSamples();   // 0.6 s

// Writes paddlehit.wav, brickhit.wav and lostball.wav into `folder`.
bool WriteBreakoutSounds(const std::string& folder, std::string* error);

}  // namespace assetgen
