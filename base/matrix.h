/// @file
/// Vectors and 4 x 4 matrices in the D3DX conventions: row vectors
/// (v' = v * M), matrices multiplied left to right, left-handed coordinates.
/// Written from the formulas; no platform code.
#pragma once

struct D3DMATRIX {
    float m[4][4];
};

struct D3DVECTOR {
    float x, y, z;
};

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
/// Transforms (x, y, z, 1) by m as a row vector; returns the homogeneous result.
void D3DXVec3Transform4(float out[4], const D3DXVECTOR3* v, const D3DXMATRIX* m);

D3DXVECTOR3 D3DXVec3Subtract(const D3DVECTOR& a, const D3DVECTOR& b);
D3DXVECTOR3 D3DXVec3Cross(const D3DVECTOR& a, const D3DVECTOR& b);
float D3DXVec3Dot(const D3DVECTOR& a, const D3DVECTOR& b);
/// The unit vector along v; a zero vector stays zero.
D3DXVECTOR3 D3DXVec3Normalize(const D3DXVECTOR3& v);
