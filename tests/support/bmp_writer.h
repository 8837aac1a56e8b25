// Small Windows bitmaps for tests: 1 to 32 bits, either row order, 32-bit alpha mask (V4).
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace testbmp {

struct Options {
    int bits = 24;
    bool topDown = false;
    bool alphaMask = false;  // 32-bit only
};

// The file and info headers of a `height` (negative: top-down) bitmap whose
// pixel data of `dataBytes` follows a palette of `colours` entries.
inline void PutHeaders(Bytes* b, int width, int height, int bits, std::uint32_t compression,
                       std::uint32_t dataBytes, std::uint32_t colours, bool v4 = false) {
    const std::uint32_t info = v4 ? 108 : 40, offset = 14 + info + colours * 4;
    Put(b, std::uint16_t(0x4D42), offset + dataBytes, std::uint32_t(0), offset, info,
        std::int32_t(width), std::int32_t(height), std::uint16_t(1), std::uint16_t(bits),
        compression, dataBytes, std::int32_t(2835), std::int32_t(2835), colours, std::uint32_t(0));
    if (v4) {
        Put(b, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u, 0x73524742u);  // masks, 'sRGB'
        b->resize(b->size() + 48, 0);
    }
}

// `pixels` are 0xAARRGGBB, top row first. Paletted files need at most
// 2^bits distinct colours. Returns false when the file cannot be written.
inline bool Write(const std::string& path, int w, int h, const std::vector<std::uint32_t>& pixels,
                  Options o = {}) {
    std::vector<std::uint32_t> palette;
    if (o.bits <= 8) {
        for (auto p : pixels)
            if (std::find(palette.begin(), palette.end(), p & 0xFFFFFF) == palette.end())
                palette.push_back(p & 0xFFFFFF);
        if (palette.size() > (1u << o.bits)) return false;
        palette.resize(1u << o.bits, 0);
    }
    const bool v4 = o.bits == 32 && o.alphaMask;
    const unsigned rowBytes = ((static_cast<unsigned>(w) * o.bits + 31) / 32) * 4;
    Bytes b;
    PutHeaders(&b, w, o.topDown ? -h : h, o.bits, v4 ? 3 : 0, rowBytes * h,
               static_cast<std::uint32_t>(palette.size()), v4);  // BI_BITFIELDS or BI_RGB
    for (auto c : palette) Put(&b, c);
    for (int row = 0; row < h; ++row) {
        const int y = o.topDown ? row : h - 1 - row;
        const auto line = b.insert(b.end(), rowBytes, 0);  // the row, filled in below
        for (int x = 0, bit = 0; x < w; ++x, bit += o.bits) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
            const auto idx =
                std::find(palette.begin(), palette.end(), p & 0xFFFFFF) - palette.begin();
            if (o.bits >= 24)
                for (int i = 0; i < o.bits / 8; ++i) line[bit / 8 + i] = (p >> (8 * i)) & 0xFF;
            else
                line[bit / 8] |= static_cast<std::uint8_t>(idx << (8 - o.bits - bit % 8));
        }
    }
    return WriteBytes(path, b);
}

// A w x h image of one colour.
inline bool WriteSolid(const std::string& path, int w, int h, std::uint32_t color, Options o = {}) {
    return Write(path, w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, color), o);
}

}  // namespace testbmp
