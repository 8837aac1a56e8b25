/// @file
/// Whole decimal numbers read from text (scripts, the environment).
#pragma once

#include <cstdint>
#include <string_view>

/// A whole decimal number with an optional sign and nothing else, within
/// [lo, hi]: true and `*out` set, or false and `*out` untouched.
bool ParseNumber(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t* out);
