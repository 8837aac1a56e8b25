// The sprite batch of the software device.
#include <algorithm>
#include <cmath>

#include "platform/d3dx9.h"

IDirect3DTexture9::IDirect3DTexture9(UINT width, UINT height, D3DFORMAT format)
    : width_(width), height_(height), format_(format),
      texels_(static_cast<std::size_t>(width) * height, 0u) {}

ULONG IDirect3DTexture9::Release() {
    delete this;
    return 0;
}

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** out) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (!device) return D3DERR_INVALIDCALL;
    *out = new ID3DXSprite(device);
    return D3D_OK;
}

ULONG ID3DXSprite::Release() {
    delete this;
    return 0;
}

HRESULT ID3DXSprite::Begin(DWORD flags) {
    if (begun_) return D3DERR_INVALIDCALL;
    begun_ = true;
    flags_ = flags;
    return D3D_OK;
}

HRESULT ID3DXSprite::End() {
    if (!begun_) return D3DERR_INVALIDCALL;
    begun_ = false;
    return D3D_OK;
}

HRESULT ID3DXSprite::Draw(IDirect3DTexture9* texture, const RECT* srcRect, const D3DXVECTOR3*,
                          const D3DXVECTOR3* position, D3DCOLOR) {
    if (!begun_ || !texture) return D3DERR_INVALIDCALL;
    IDirect3DSurface9* bb = nullptr;
    device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb);
    const int tw = static_cast<int>(texture->Width()), th = static_cast<int>(texture->Height());
    RECT s = srcRect ? *srcRect : RECT{0, 0, tw, th};
    s.left = std::clamp<LONG>(s.left, 0, tw);
    s.right = std::clamp<LONG>(s.right, 0, tw);
    s.top = std::clamp<LONG>(s.top, 0, th);
    s.bottom = std::clamp<LONG>(s.bottom, 0, th);
    // Pixel centres on integers, top-left fill rule: a sprite at x covers ceil(x) onwards.
    const int x0 = position ? static_cast<int>(std::ceil(position->x)) : 0;
    const int y0 = position ? static_cast<int>(std::ceil(position->y)) : 0;
    const int bw = static_cast<int>(bb->Width()), bh = static_cast<int>(bb->Height());
    const bool blend = (flags_ & D3DXSPRITE_ALPHABLEND) != 0;
    for (int y = s.top; y < s.bottom; ++y) {
        const int dy = y0 + (y - s.top);
        if (dy < 0 || dy >= bh) continue;
        for (int x = s.left; x < s.right; ++x) {
            const int dx = x0 + (x - s.left);
            if (dx < 0 || dx >= bw) continue;
            const std::uint32_t src = texture->Texels()[y * tw + x];
            std::uint32_t& dst = bb->Pixels()[dy * bw + dx];
            if (!blend) {
                dst = src | 0xFF000000u;
                continue;
            }
            const std::uint32_t a = src >> 24;
            if (a == 0) continue;
            if (a == 255) {
                dst = src;
                continue;
            }
            auto mix = [&](int shift) {
                const std::uint32_t sc = (src >> shift) & 0xFF, dc = (dst >> shift) & 0xFF;
                return ((sc * a + dc * (255 - a) + 127) / 255) << shift;
            };
            dst = (dst & 0xFF000000u) | mix(16) | mix(8) | mix(0);
        }
    }
    return D3D_OK;
}
