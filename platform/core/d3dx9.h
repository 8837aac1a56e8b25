/// @file
/// Utility functions over the graphics device: the sprite batch (matrices are
/// in base/matrix.h).
#pragma once

#include "platform/core/d3d9.h"

constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;

/// The sprite batch: draws textures 1:1 at pixel positions onto the back
/// buffer of its device, between Begin and End.
class ID3DXSprite {
  public:
    explicit ID3DXSprite(IDirect3DDevice9* device) : device_(device) {}
    HRESULT Begin(DWORD flags);
    HRESULT Draw(IDirect3DTexture9* texture, const RECT* srcRect, const D3DXVECTOR3* center,
                 const D3DXVECTOR3* position, D3DCOLOR color);
    HRESULT End();
    ULONG Release();

  private:
    IDirect3DDevice9* device_;
    DWORD flags_ = 0;
    bool begun_ = false;
};

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** out);
