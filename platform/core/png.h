/// @file
/// Image files from 32-bit ARGB pixels (0xAARRGGBB, row-major, no padding):
/// PNG for screenshots, BMP for content a program makes (a game's content
/// generator draws its pictures in code and writes them as the bitmaps its
/// sprites load), and reading either back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

/// Returns false with `error` set when the file cannot be written. With
/// `keepAlpha` false the image is written opaque (RGB).
bool SavePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
             bool keepAlpha, std::string* error);

/// Writes an uncompressed 24-bit bitmap, alpha dropped: a sprite shows every
/// pixel but the colour key, opaque magenta (0xFFFF00FF). Returns false with
/// `error` set when the file cannot be written.
bool SaveBmp(const std::string& path, const std::uint32_t* pixels, int width, int height,
             std::string* error);

/// Reads a PNG or BMP file into 32-bit ARGB pixels (tests and tools compare
/// what was drawn with the files it came from). False with `error` set.
bool ReadImageFile(const std::string& path, std::vector<std::uint32_t>* pixels, int* width,
                   int* height, std::string* error);

}  // namespace platform
