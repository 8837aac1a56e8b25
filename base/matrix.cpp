// Matrix helpers in the D3DX conventions: row vectors (v' = v * M), matrices
// multiplied left to right, left-handed coordinates.
#include "base/matrix.h"

#include <cmath>

D3DXVECTOR3 D3DXVec3Subtract(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
D3DXVECTOR3 D3DXVec3Cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float D3DXVec3Dot(const D3DVECTOR& a, const D3DVECTOR& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
D3DXVECTOR3 D3DXVec3Normalize(const D3DXVECTOR3& v) {
    const float len = std::sqrt(D3DXVec3Dot(v, v));
    if (len == 0.0f) return v;
    return {v.x / len, v.y / len, v.z / len};
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX{};
    for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) s += a->m[i][k] * b->m[k][j];
            r.m[i][j] = s;
        }
    *out = r;
    return out;
}

// Roll about z first, then pitch about x, then yaw about y.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    const float cy = std::cos(yaw), sy = std::sin(yaw);
    const float cp = std::cos(pitch), sp = std::sin(pitch);
    const float cr = std::cos(roll), sr = std::sin(roll);
    D3DXMATRIX rz, rx, ry, t;
    D3DXMatrixIdentity(&rz);
    rz.m[0][0] = cr;
    rz.m[0][1] = sr;
    rz.m[1][0] = -sr;
    rz.m[1][1] = cr;
    D3DXMatrixIdentity(&rx);
    rx.m[1][1] = cp;
    rx.m[1][2] = sp;
    rx.m[2][1] = -sp;
    rx.m[2][2] = cp;
    D3DXMatrixIdentity(&ry);
    ry.m[0][0] = cy;
    ry.m[0][2] = -sy;
    ry.m[2][0] = sy;
    ry.m[2][2] = cy;
    D3DXMatrixMultiply(&t, &rz, &rx);
    return D3DXMatrixMultiply(out, &t, &ry);
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    const D3DXVECTOR3 z = D3DXVec3Normalize(D3DXVec3Subtract(*at, *eye));
    const D3DXVECTOR3 x = D3DXVec3Normalize(D3DXVec3Cross(*up, z));
    const D3DXVECTOR3 y = D3DXVec3Cross(z, x);
    D3DXMatrixIdentity(out);
    out->m[0][0] = x.x;
    out->m[0][1] = y.x;
    out->m[0][2] = z.x;
    out->m[1][0] = x.y;
    out->m[1][1] = y.y;
    out->m[1][2] = z.y;
    out->m[2][0] = x.z;
    out->m[2][1] = y.z;
    out->m[2][2] = z.z;
    out->m[3][0] = -D3DXVec3Dot(x, *eye);
    out->m[3][1] = -D3DXVec3Dot(y, *eye);
    out->m[3][2] = -D3DXVec3Dot(z, *eye);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn,
                                       float zf) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    *out = D3DXMATRIX{};
    out->m[0][0] = xScale;
    out->m[1][1] = yScale;
    out->m[2][2] = zf / (zf - zn);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zn * zf / (zf - zn);
    return out;
}

void D3DXVec3Transform4(float out[4], const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const float in[4] = {v->x, v->y, v->z, 1.0f};
    for (int j = 0; j < 4; ++j) {
        float s = 0.0f;
        for (int k = 0; k < 4; ++k) s += in[k] * m->m[k][j];
        out[j] = s;
    }
}
