#include "tools/play/convert.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "sound/dsutil.h"

namespace {

constexpr WORD kFormatFloat = 3;
constexpr WORD kFormatExtensible = 0xFFFE;

// The sample coding of a format: PCM or float, resolving the extensible
// form's sub-format (its first two bytes are the plain format tag).
WORD Coding(const WAVEFORMATEX& f) {
    if (f.wFormatTag != kFormatExtensible) return f.wFormatTag;
    if (f.cbSize < 22) return 0;
    const auto* extra = reinterpret_cast<const BYTE*>(&f) + sizeof(WAVEFORMATEX);
    return static_cast<WORD>(extra[6] | (extra[7] << 8));
}

std::int16_t ToInt16(const BYTE* p, WORD coding, int bits) {
    if (coding == kFormatFloat) {
        float v;
        std::memcpy(&v, p, 4);
        if (!(v == v)) return 0;  // NaN
        return static_cast<std::int16_t>(
            std::lrint(std::fmax(-1.0f, std::fmin(1.0f, v)) * 32767.0f));
    }
    switch (bits) {
        case 8:
            return static_cast<std::int16_t>((p[0] - 128) * 256);
        case 16:
            return static_cast<std::int16_t>(p[0] | (p[1] << 8));
        case 24:
            return static_cast<std::int16_t>(p[1] | (p[2] << 8));
        default:
            return static_cast<std::int16_t>(p[2] | (p[3] << 8));  // 32
    }
}

}  // namespace

PcmPlan PlanFor(const WAVEFORMATEX& f, std::string* why) {
    const WORD coding = Coding(f);
    const int bits = f.wBitsPerSample;
    if (coding != WAVE_FORMAT_PCM && coding != kFormatFloat) {
        *why = "is not PCM (format tag " + std::to_string(f.wFormatTag) + ")";
        return PcmPlan::kRefuse;
    }
    if (coding == kFormatFloat ? bits != 32
                               : (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        *why = "is " + std::to_string(bits) + "-bit " + (coding == kFormatFloat ? "float" : "PCM") +
               "; 8-, 16-, 24- and 32-bit PCM and 32-bit float can be played";
        return PcmPlan::kRefuse;
    }
    if (f.nChannels != 1 && f.nChannels != 2) {
        *why =
            "has " + std::to_string(f.nChannels) + " channels; only mono and stereo can be played";
        return PcmPlan::kRefuse;
    }
    if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX) {
        *why = "has a sample rate of " + std::to_string(f.nSamplesPerSec) +
               " Hz; 100 to 200000 Hz can be played";
        return PcmPlan::kRefuse;
    }
    if (f.nBlockAlign != f.nChannels * bits / 8) {
        *why = "has a block alignment of " + std::to_string(f.nBlockAlign) +
               " bytes, which does not match its channels and bits";
        return PcmPlan::kRefuse;
    }
    const bool plain = f.wFormatTag == WAVE_FORMAT_PCM && (bits == 8 || bits == 16) &&
                       f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
    return plain ? PcmPlan::kDirect : PcmPlan::kConvert;
}

bool ConvertTo16Bit(const std::string& in, const std::string& out, std::string* why,
                    bool (*stopped)()) {
    const std::string cannotWrite =
        "cannot be converted: writing its 16-bit copy to the temporary folder failed";
    CRiffWave src;
    if (FAILED(src.Open(in.c_str(), nullptr, WAVEFILE_READ)) || !src.m_pwfx) {
        *why = "cannot be read again";
        return false;
    }
    const WAVEFORMATEX f = *src.m_pwfx;
    const WORD coding = Coding(*src.m_pwfx);
    WAVEFORMATEX o{};
    o.wFormatTag = WAVE_FORMAT_PCM;
    o.nChannels = f.nChannels;
    o.nSamplesPerSec = f.nSamplesPerSec;
    o.wBitsPerSample = 16;
    o.nBlockAlign = static_cast<WORD>(2 * f.nChannels);
    o.nAvgBytesPerSec = o.nSamplesPerSec * o.nBlockAlign;
    CRiffWave dst;
    if (FAILED(dst.Open(out.c_str(), &o, WAVEFILE_WRITE))) {
        *why = cannotWrite;
        return false;
    }
    const DWORD sampleBytes = f.wBitsPerSample / 8;
    std::vector<BYTE> block(static_cast<std::size_t>(f.nBlockAlign) * 4096);
    std::vector<std::int16_t> samples;
    while (!stopped()) {
        DWORD read = 0;
        if (FAILED(src.Read(block.data(), static_cast<DWORD>(block.size()), &read))) {
            *why = "cannot be read to its end";
            return false;
        }
        read -= read % f.nBlockAlign;  // a cut-off last frame is dropped
        if (read == 0) {
            if (SUCCEEDED(dst.Close())) return true;
            *why = cannotWrite;
            return false;
        }
        samples.resize(read / sampleBytes);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = ToInt16(&block[i * sampleBytes], coding, f.wBitsPerSample);
        UINT wrote = 0;
        if (FAILED(dst.Write(static_cast<UINT>(samples.size() * 2),
                             reinterpret_cast<const BYTE*>(samples.data()), &wrote))) {
            *why = cannotWrite;
            return false;
        }
    }
    return false;
}
