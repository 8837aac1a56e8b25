// Writes small Windows bitmaps for tests: 1, 4, 8, 24 and 32 bits, bottom-up
// or top-down; 32-bit either with an alpha mask (V4 header) or without.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace testbmp {

struct Options {
    int bits = 24;
    bool topDown = false;
    bool alphaMask = false;  // 32-bit only
};

inline void Put16(std::vector<unsigned char>* b, unsigned v) {
    b->push_back(v & 0xFF);
    b->push_back((v >> 8) & 0xFF);
}
inline void Put32(std::vector<unsigned char>* b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b->push_back((v >> (8 * i)) & 0xFF);
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
    const unsigned headerSize = v4 ? 108 : 40;
    const unsigned rowBytes = ((static_cast<unsigned>(w) * o.bits + 31) / 32) * 4;
    const unsigned dataOffset = 14 + headerSize + static_cast<unsigned>(palette.size()) * 4;
    std::vector<unsigned char> b;
    b.push_back('B');
    b.push_back('M');
    Put32(&b, dataOffset + rowBytes * h);
    Put32(&b, 0);
    Put32(&b, dataOffset);
    Put32(&b, headerSize);
    Put32(&b, static_cast<std::uint32_t>(w));
    Put32(&b, static_cast<std::uint32_t>(o.topDown ? -h : h));
    Put16(&b, 1);
    Put16(&b, o.bits);
    Put32(&b, v4 ? 3 : 0);  // BI_BITFIELDS or BI_RGB
    Put32(&b, rowBytes * h);
    Put32(&b, 2835);
    Put32(&b, 2835);
    Put32(&b, static_cast<std::uint32_t>(palette.size()));
    Put32(&b, 0);
    if (v4) {
        Put32(&b, 0x00FF0000);
        Put32(&b, 0x0000FF00);
        Put32(&b, 0x000000FF);
        Put32(&b, 0xFF000000);
        Put32(&b, 0x73524742);  // 'sRGB'
        for (int i = 0; i < 12; ++i) Put32(&b, 0);
    }
    for (auto c : palette) Put32(&b, c);
    for (int row = 0; row < h; ++row) {
        const int y = o.topDown ? row : h - 1 - row;
        std::vector<unsigned char> line(rowBytes, 0);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
            if (o.bits == 24 || o.bits == 32) {
                const int bpp = o.bits / 8;
                line[x * bpp + 0] = p & 0xFF;
                line[x * bpp + 1] = (p >> 8) & 0xFF;
                line[x * bpp + 2] = (p >> 16) & 0xFF;
                if (bpp == 4) line[x * 4 + 3] = (p >> 24) & 0xFF;
            } else {
                const unsigned idx = static_cast<unsigned>(
                    std::find(palette.begin(), palette.end(), p & 0xFFFFFF) - palette.begin());
                const int bit = x * o.bits;
                const int shift = 8 - o.bits - (bit % 8);
                line[bit / 8] |= static_cast<unsigned char>(idx << shift);
            }
        }
        b.insert(b.end(), line.begin(), line.end());
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(out);
}

// A w x h image of one colour.
inline bool WriteSolid(const std::string& path, int w, int h, std::uint32_t color,
                       Options o = {}) {
    return Write(path, w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, color),
                 o);
}

}  // namespace testbmp
