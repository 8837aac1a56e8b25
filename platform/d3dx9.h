// Utility functions over the graphics device: matrices (row vectors,
// left-handed, D3DX conventions), the sprite batch, image loading.
#pragma once

#include "platform/d3d9.h"

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() : D3DVECTOR{0, 0, 0} {}
    D3DXVECTOR3(float x_, float y_, float z_) : D3DVECTOR{x_, y_, z_} {}
};

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX{} {}
    float& operator()(int r, int c) { return m[r][c]; }
    float operator()(int r, int c) const { return m[r][c]; }
};

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn,
                                       float zf);
// Transforms (x, y, z, 1) by m as a row vector; returns the homogeneous result.
void D3DXVec3Transform4(float out[4], const D3DXVECTOR3* v, const D3DXMATRIX* m);

constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;

// The sprite batch: draws textures 1:1 at pixel positions onto the back
// buffer of its device, between Begin and End.
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
