/// @file
/// Point sampling for scaled copies.
#pragma once

#include <cstdint>

/// The source offset that target offset `i` takes when a span of `from` source
/// pixels is drawn `to` pixels long: the source pixel under the centre of
/// target pixel i, (i + 1/2) * from / to rounded down.
inline std::int64_t PointSample(std::int64_t i, std::int64_t from, std::int64_t to) {
    return (2 * i + 1) * from / (2 * to);
}
