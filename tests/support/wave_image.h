// RIFF WAVE images built in memory, and the 16-bit samples of a wave file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/riff_wave.h"
#include "support/bytes.h"

// A chunk with its pad byte after an odd size; `sizeField` overrides the size.
inline Bytes Chunk(const char* id, const Bytes& data, std::uint32_t sizeField = 0xFFFFFFFF) {
    Bytes b(id, id + 4);
    Put(&b, sizeField == 0xFFFFFFFF ? static_cast<std::uint32_t>(data.size()) : sizeField);
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(0);
    return b;
}

// A WAVEFORMATEX body; `extra` >= 0 adds the cbSize field.
inline Bytes Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                 int extra = -1) {
    const auto align = static_cast<std::uint16_t>(channels * bits / 8);
    Bytes b;
    Put(&b, tag, channels, rate, rate * align, align, bits);
    if (extra >= 0) Put(&b, static_cast<std::uint16_t>(extra));
    return b;
}

inline Bytes Riff(const std::vector<Bytes>& chunks, std::uint32_t sizeField = 0xFFFFFFFF) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return Chunk("RIFF", body, sizeField);
}

inline Bytes PcmWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                     const Bytes& samples) {
    return Riff({Chunk("fmt ", Fmt(1, channels, rate, bits)), Chunk("data", samples)});
}

inline Bytes Ramp(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

// The samples of a 16-bit wave file (empty if it does not open), and its format.
inline std::vector<std::int16_t> ReadWave16(const std::string& path,
                                            WAVEFORMATEX* format = nullptr) {
    CRiffWave wave;
    if (FAILED(wave.Open(path.c_str(), nullptr, WAVEFILE_READ))) return {};
    if (format) *format = *wave.GetFormat();
    std::vector<std::int16_t> samples(wave.GetSize() / 2);
    DWORD read = 0;
    wave.Read(reinterpret_cast<BYTE*>(samples.data()), static_cast<DWORD>(samples.size() * 2),
              &read);
    samples.resize(read / 2);
    return samples;
}
