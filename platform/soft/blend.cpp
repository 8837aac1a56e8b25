#include "platform/soft/blend.h"

#include <cstdlib>
#include <cstring>

#include "base/setting.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VELMOR_X86 1
#endif

namespace platform::soft {

namespace {

inline void BlendSpanScalar(std::uint32_t* dst, const std::uint32_t* src, int count) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t s = src[i];
        const std::uint32_t a = s >> 24;
        if (a == 0) continue;
        if (a == 255) {
            dst[i] = s;
            continue;
        }
        const std::uint32_t d = dst[i];
        std::uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t t = ((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a);
            out |= ((t + 127) / 255) << shift;
        }
        dst[i] = out;
    }
}

}  // namespace

void BlendRowScalar(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src,
                    std::ptrdiff_t srcStride, int count, int rows) {
    for (int r = 0; r < rows; ++r) BlendSpanScalar(dst + r * dstStride, src + r * srcStride, count);
}

#ifdef VELMOR_X86
namespace {

// 16-bit lanes: round(t / 255) for t <= 65025 as ((t + 128) * 257) >> 16,
// which equals (u + (u >> 8)) >> 8 with u = t + 128 for every such t.
inline __m128i Div255(__m128i t) {
    return _mm_mulhi_epu16(_mm_add_epi16(t, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

inline __m128i BlendHalf(__m128i s16, __m128i d16) {
    __m128i a = _mm_shufflelo_epi16(s16, 0xFF);
    a = _mm_shufflehi_epi16(a, 0xFF);
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(s16, a),
                                    _mm_mullo_epi16(d16, _mm_sub_epi16(_mm_set1_epi16(255), a)));
    return Div255(t);
}

// Blends four pixels.
inline __m128i Blend4(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = BlendHalf(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
    const __m128i hi = BlendHalf(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
    const __m128i out = _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(-16777216));
    // Texels of alpha 0 keep the pixel exactly, its X byte included.
    const __m128i clear = _mm_cmpeq_epi32(_mm_srli_epi32(s, 24), zero);
    return _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, out));
}

inline void BlendSpanSse2(std::uint32_t* dst, const std::uint32_t* src, int count) {
    const __m128i alphaMask = _mm_set1_epi32(-16777216);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i alpha = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF) continue;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Blend4(s, d));
    }
    BlendSpanScalar(dst + i, src + i, count - i);
}

void BlendRowSse2Impl(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src,
                      std::ptrdiff_t srcStride, int count, int rows) {
    for (int r = 0; r < rows; ++r) BlendSpanSse2(dst + r * dstStride, src + r * srcStride, count);
}

__attribute__((target("avx2"))) inline __m256i Div255x16(__m256i t) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(t, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

// Blends eight pixels; texels of alpha 0 keep their pixel exactly.
__attribute__((target("avx2"))) inline __m256i Blend8(__m256i s, __m256i d, __m256i isClear) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i sl = _mm256_unpacklo_epi8(s, zero), sh = _mm256_unpackhi_epi8(s, zero);
    const __m256i dl = _mm256_unpacklo_epi8(d, zero), dh = _mm256_unpackhi_epi8(d, zero);
    // Each pixel's alpha byte into the four 16-bit lanes of its channels.
    const __m256i pickLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1,
                                            3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const __m256i pickHi =
        _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1, 11,
                         -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    const __m256i al = _mm256_shuffle_epi8(s, pickLo);
    const __m256i ah = _mm256_shuffle_epi8(s, pickHi);
    // s * a + d * (255 - a) = d * 256 - d + (s - d) * a: one multiply per
    // half. The terms wrap in 16 bits but the sum lies in 0 ... 65025, so
    // the wrapped sum is exact.
    const __m256i lo =
        Div255x16(_mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(dl, 8), dl),
                                   _mm256_mullo_epi16(_mm256_sub_epi16(sl, dl), al)));
    const __m256i hi =
        Div255x16(_mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(dh, 8), dh),
                                   _mm256_mullo_epi16(_mm256_sub_epi16(sh, dh), ah)));
    const __m256i out = _mm256_or_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(-16777216));
    return _mm256_blendv_epi8(out, d, isClear);
}

// Eight pixels at a time; fewer than eight left over go through a masked
// load and store, so no SSE code runs while the upper halves are in use.
__attribute__((target("avx2"))) void BlendRowAvx2Impl(std::uint32_t* dst, std::ptrdiff_t dstStride,
                                                      const std::uint32_t* src,
                                                      std::ptrdiff_t srcStride, int count,
                                                      int rows) {
    const __m256i alphaMask = _mm256_set1_epi32(-16777216);
    const __m256i zero = _mm256_setzero_si256();
    const int tail = count & 7;
    const __m256i tailMask =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(tail), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    for (int r = 0; r < rows; ++r) {
        std::uint32_t* dp = dst + r * dstStride;
        const std::uint32_t* sp = src + r * srcStride;
        int i = 0;
        for (; i + 8 <= count; i += 8) {
            const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sp + i));
            const __m256i alpha = _mm256_and_si256(s, alphaMask);
            const __m256i isClear = _mm256_cmpeq_epi32(alpha, zero);
            if (_mm256_movemask_epi8(isClear) == -1) continue;
            if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, alphaMask)) == -1) {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(dp + i), s);
                continue;
            }
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dp + i));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dp + i), Blend8(s, d, isClear));
        }
        if (tail) {
            const auto* sv = reinterpret_cast<const int*>(sp + i);
            auto* dv = reinterpret_cast<int*>(dp + i);
            const __m256i s = _mm256_maskload_epi32(sv, tailMask);
            const __m256i d = _mm256_maskload_epi32(dv, tailMask);
            const __m256i isClear = _mm256_cmpeq_epi32(_mm256_and_si256(s, alphaMask), zero);
            _mm256_maskstore_epi32(dv, tailMask, Blend8(s, d, isClear));
        }
    }
    // Leave the upper halves clean before SSE code runs again: otherwise
    // every later SSE instruction pays a state-transition penalty.
    _mm256_zeroupper();
}

// Sixteen pixels at a time with lane masks: transparent texels and the
// pixels past the row's end are neither read nor written. Each 128-bit lane
// computes exactly as in the AVX2 kernel.
__attribute__((target("avx512f,avx512bw"))) void BlendRowAvx512Impl(std::uint32_t* dst,
                                                                    std::ptrdiff_t dstStride,
                                                                    const std::uint32_t* src,
                                                                    std::ptrdiff_t srcStride,
                                                                    int count, int rows) {
    const __m512i alphaMask = _mm512_set1_epi32(-16777216);
    const __m512i zero = _mm512_setzero_si512();
    const __m512i pickLo = _mm512_maskz_broadcast_i32x4(
        __mmask16(0xFFFF), _mm_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1));
    const __m512i pickHi = _mm512_maskz_broadcast_i32x4(
        __mmask16(0xFFFF),
        _mm_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1));
    const __m512i round = _mm512_set1_epi16(128), scale = _mm512_set1_epi16(257);
    for (int r = 0; r < rows; ++r) {
        std::uint32_t* dp = dst + r * dstStride;
        const std::uint32_t* sp = src + r * srcStride;
        for (int i = 0; i < count; i += 16) {
            const __mmask16 inRow =
                count - i >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << (count - i)) - 1);
            const __m512i s = _mm512_maskz_loadu_epi32(inRow, sp + i);
            const __mmask16 write = _mm512_test_epi32_mask(s, alphaMask);
            if (!write) continue;
            const __m512i alpha = _mm512_and_si512(s, alphaMask);
            if (_mm512_mask_cmpeq_epi32_mask(write, alpha, alphaMask) == write) {
                _mm512_mask_storeu_epi32(dp + i, write, s);
                continue;
            }
            const __m512i d = _mm512_maskz_loadu_epi32(write, dp + i);
            const __m512i sl = _mm512_unpacklo_epi8(s, zero), sh = _mm512_unpackhi_epi8(s, zero);
            const __m512i dl = _mm512_unpacklo_epi8(d, zero), dh = _mm512_unpackhi_epi8(d, zero);
            const __m512i al = _mm512_shuffle_epi8(s, pickLo), ah = _mm512_shuffle_epi8(s, pickHi);
            const __m512i lo = _mm512_mulhi_epu16(
                _mm512_add_epi16(_mm512_add_epi16(_mm512_sub_epi16(_mm512_slli_epi16(dl, 8), dl),
                                                  _mm512_mullo_epi16(_mm512_sub_epi16(sl, dl), al)),
                                 round),
                scale);
            const __m512i hi = _mm512_mulhi_epu16(
                _mm512_add_epi16(_mm512_add_epi16(_mm512_sub_epi16(_mm512_slli_epi16(dh, 8), dh),
                                                  _mm512_mullo_epi16(_mm512_sub_epi16(sh, dh), ah)),
                                 round),
                scale);
            const __m512i out = _mm512_or_si512(_mm512_packus_epi16(lo, hi), alphaMask);
            _mm512_mask_storeu_epi32(dp + i, write, out);
        }
    }
    _mm256_zeroupper();
}

}  // namespace
#endif

RowKernel BlendRowSse2() {
#ifdef VELMOR_X86
    return BlendRowSse2Impl;
#else
    return nullptr;
#endif
}

RowKernel BlendRowAvx512() {
#ifdef VELMOR_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
        return BlendRowAvx512Impl;
#endif
    return nullptr;
}

RowKernel BlendRowAvx2() {
#ifdef VELMOR_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return BlendRowAvx2Impl;
#endif
    return nullptr;
}

namespace {

const char* KernelName(RowKernel k) {
    if (k == BlendRowScalar) return "scalar";
    if (k && k == BlendRowAvx512()) return "avx512";
    if (k && k == BlendRowAvx2()) return "avx2";
    return "sse2";
}

// VELMOR_SIMD=scalar|sse2|avx2|avx512 caps the choice (for comparisons):
// the widest kernel up to that one that the processor runs. Another value
// caps nothing, and is told once.
RowKernel Automatic() {
    static const char* const kNames[] = {"scalar", "sse2", "avx2", "avx512"};
    const char* forced = std::getenv("VELMOR_SIMD");
    int cap = -1;
    for (int i = 0; forced && i < 4; ++i)
        if (std::strcmp(forced, kNames[i]) == 0) cap = i;
    RowKernel kernel = BlendRowScalar;
    const int widest = cap < 0 ? 3 : cap;
    if (widest >= 3 && BlendRowAvx512())
        kernel = BlendRowAvx512();
    else if (widest >= 2 && BlendRowAvx2())
        kernel = BlendRowAvx2();
    else if (widest >= 1 && BlendRowSse2())
        kernel = BlendRowSse2();
    if (forced && cap < 0)
        ReportUnusableSetting("VELMOR_SIMD", forced, "scalar, sse2, avx2 or avx512",
                              KernelName(kernel));
    return kernel;
}

RowKernel& Current() {
    static RowKernel kernel = Automatic();
    return kernel;
}

}  // namespace

RowKernel BlendRow() { return Current(); }

void SetBlendRowKernel(RowKernel kernel) { Current() = kernel ? kernel : Automatic(); }

const char* BlendRowKernelName() { return KernelName(Current()); }

void CopyRowOpaque(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src,
                   std::ptrdiff_t srcStride, int count, int rows) {
    for (int r = 0; r < rows; ++r)
        for (int i = 0; i < count; ++i)
            dst[r * dstStride + i] = src[r * srcStride + i] | 0xFF000000u;
}

}  // namespace platform::soft
