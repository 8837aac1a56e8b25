// Row kernels of the software sprite batch. Every kernel gives the same
// result as BlendRowScalar: straight alpha blending per colour channel,
// round((s * a + d * (255 - a)) / 255), the X byte of a written pixel 0xFF;
// a texel of alpha 0 leaves its pixel as it was, alpha 255 copies the texel.
// The widest kernel the processor runs is picked once at start.
#pragma once

#include <cstdint>

namespace platform::soft {

using RowKernel = void (*)(std::uint32_t* dst, const std::uint32_t* src, int count);

void BlendRowScalar(std::uint32_t* dst, const std::uint32_t* src, int count);
// Null where the build or the processor lacks the instructions.
RowKernel BlendRowSse2();
RowKernel BlendRowAvx2();

// The kernel in use, and a way to force one (null restores the automatic choice).
RowKernel BlendRow();
void SetBlendRowKernel(RowKernel kernel);
const char* BlendRowKernelName();

// Copies texels as opaque pixels (no blending).
void CopyRowOpaque(std::uint32_t* dst, const std::uint32_t* src, int count);

}  // namespace platform::soft
