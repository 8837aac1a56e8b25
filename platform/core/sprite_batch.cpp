// The sprite batch: textures drawn 1:1 with point sampling at pixel
// positions, handed to the device's rasteriser. Pixel centres lie on integer coordinates and
// the fill rule is top-left, so a texture placed at x covers the pixels
// ceil(x) ... ceil(x) + w - 1 (likewise y). Pixels outside the back buffer
// are clipped.
#include <algorithm>
#include <cmath>

#include "platform/core/d3dx9.h"
#include "platform/soft/banded_target.h"

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

namespace {

// ceil(v) held to a range where the clipping sums cannot overflow; false for NaN.
bool FirstPixel(float v, long long* out) {
    if (std::isnan(v)) return false;
    const double c = std::ceil(static_cast<double>(v));
    *out = static_cast<long long>(std::clamp(c, -1.0e9, 1.0e9));
    return true;
}

}  // namespace

// The centre and the colour are not used: textures are drawn from their
// top-left corner and untinted (every caller passes no centre and white).
HRESULT ID3DXSprite::Draw(IDirect3DTexture9* texture, const RECT* srcRect, const D3DXVECTOR3*,
                          const D3DXVECTOR3* position, D3DCOLOR) {
    if (!begun_ || !texture || !texture->MadeBy(device_)) return D3DERR_INVALIDCALL;
    IDirect3DSurface9* bb = nullptr;
    if (FAILED(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &bb)) || !bb)
        return D3DERR_INVALIDCALL;
    const LONG tw = static_cast<LONG>(texture->Width()), th = static_cast<LONG>(texture->Height());
    // The source rectangle is limited to the texture: nothing is read from outside it.
    RECT s = srcRect ? *srcRect : RECT{0, 0, tw, th};
    s.left = std::clamp<LONG>(s.left, 0, tw);
    s.right = std::clamp<LONG>(s.right, 0, tw);
    s.top = std::clamp<LONG>(s.top, 0, th);
    s.bottom = std::clamp<LONG>(s.bottom, 0, th);
    if (s.right <= s.left || s.bottom <= s.top) return D3D_OK;
    long long x0 = 0, y0 = 0;
    if (position && (!FirstPixel(position->x, &x0) || !FirstPixel(position->y, &y0))) return D3D_OK;
    const long long bw = bb->Width(), bh = bb->Height();
    // Clip the destination rectangle to the back buffer; shift the source to match.
    const long long left = std::max<long long>(x0, 0);
    const long long top = std::max<long long>(y0, 0);
    const long long right = std::min<long long>(x0 + (s.right - s.left), bw);
    const long long bottom = std::min<long long>(y0 + (s.bottom - s.top), bh);
    if (right <= left || bottom <= top) return D3D_OK;
    const long long sx = s.left + (left - x0);
    const long long sy = s.top + (top - y0);
    // Const access: reading texels needs no finished drawing.
    const std::uint32_t* texels = static_cast<const IDirect3DTexture9*>(texture)->Texels();
    device_->target_->Sprite({static_cast<int>(left), static_cast<int>(top),
                              static_cast<int>(right), static_cast<int>(bottom)},
                             texels + sy * tw + sx, tw, (flags_ & D3DXSPRITE_ALPHABLEND) != 0);
    return D3D_OK;
}
