// Builds RIFF WAVE images byte by byte for the sound tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace wavetest {

using Bytes = std::vector<std::uint8_t>;

inline void Put32(Bytes* b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void Put16(Bytes* b, std::uint16_t v) {
    b->push_back(static_cast<std::uint8_t>(v));
    b->push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutId(Bytes* b, const char* id) { b->insert(b->end(), id, id + 4); }

// A chunk with its pad byte after an odd size.
inline Bytes Chunk(const char* id, const Bytes& data, std::uint32_t sizeField = 0xFFFFFFFF) {
    Bytes b;
    PutId(&b, id);
    Put32(&b, sizeField == 0xFFFFFFFF ? static_cast<std::uint32_t>(data.size()) : sizeField);
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(0);
    return b;
}

inline Bytes Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                 int extra = -1) {
    Bytes b;
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    Put16(&b, tag);
    Put16(&b, channels);
    Put32(&b, rate);
    Put32(&b, rate * align);
    Put16(&b, align);
    Put16(&b, bits);
    if (extra >= 0) Put16(&b, static_cast<std::uint16_t>(extra));
    return b;
}

inline Bytes Riff(const std::vector<Bytes>& chunks, std::uint32_t sizeField = 0xFFFFFFFF) {
    Bytes body;
    PutId(&body, "WAVE");
    for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    PutId(&b, "RIFF");
    Put32(&b, sizeField == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : sizeField);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

inline Bytes Ramp(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

inline std::string WriteFile(const std::string& name, const Bytes& bytes) {
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return name;
}

inline Bytes ReadFile(const std::string& name) {
    Bytes b;
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) return b;
    int c;
    while ((c = std::fgetc(f)) != EOF) b.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
    return b;
}

}  // namespace wavetest
