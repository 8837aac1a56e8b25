// Row kernels of the software sprite batch. Every kernel gives the same
// result as BlendRowScalar: straight alpha blending per colour channel,
// round((s * a + d * (255 - a)) / 255), the X byte of a written pixel 0xFF;
// a texel of alpha 0 leaves its pixel as it was, alpha 255 copies the texel.
// The widest kernel the processor runs is picked once at start.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::soft {

// Blends `rows` rows of `count` texels each onto the pixels; strides are in
// pixels. One call per sprite keeps the per-row cost inside the kernel.
using RowKernel = void (*)(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src,
                           std::ptrdiff_t srcStride, int count, int rows);

void BlendRowScalar(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src,
                    std::ptrdiff_t srcStride, int count, int rows);
// Null where the build or the processor lacks the instructions.
RowKernel BlendRowSse2();
RowKernel BlendRowAvx2();
RowKernel BlendRowAvx512();

// The kernel in use, and a way to force one (null restores the automatic choice).
RowKernel BlendRow();
void SetBlendRowKernel(RowKernel kernel);
const char* BlendRowKernelName();

// Copies texels as opaque pixels (no blending).
void CopyRowOpaque(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src,
                   std::ptrdiff_t srcStride, int count, int rows);

}  // namespace platform::soft
