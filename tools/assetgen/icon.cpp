#include "tools/assetgen/icon.h"

#include <cstdint>
#include <vector>

#include "platform/core/png.h"

namespace assetgen {

bool WriteIcon(const Canvas& bunny, const Canvas& crosshair, const std::string& path,
               std::string* error) {
    constexpr int kSize = 96;
    std::vector<std::uint32_t> argb(kSize * kSize, 0);
    auto put = [&](const Canvas& from) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const Rgb p = from.Get(x, y);
                if (p == kKey) continue;
                argb[y * kSize + x] =
                    0xFF000000u | (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b;
            }
    };
    put(bunny);  // the first cell: the bunny sitting
    put(crosshair);
    return platform::SavePng(path, argb.data(), kSize, kSize, true, error);
}

}  // namespace assetgen
