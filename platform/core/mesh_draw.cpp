// Mesh drawing: DrawSubset lights the subset with the fixed-function rule
// (no lights: emissive + ambient light * material ambient, saturated) and
// hands its triangles, with the vertices they use, to the device's
// rasteriser with world * view * projection.
#include <algorithm>
#include <cstddef>

#include "platform/core/d3dx9mesh.h"
#include "platform/soft/banded_target.h"
#include "platform/soft/raster3d.h"

static_assert(sizeof(MeshVertex) == sizeof(platform::soft::RasterVertex));
static_assert(offsetof(MeshVertex, u) == offsetof(platform::soft::RasterVertex, u));

namespace {

std::uint32_t Channel(float v) {
    return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// The colour every vertex of the material gets under the device's lighting.
std::uint32_t LitColor(const D3DMATERIAL9& m, bool lighting, D3DCOLOR ambient) {
    if (!lighting) return 0xFFFFFFFFu;  // no vertex colours: white
    const float ar = ((ambient >> 16) & 0xFF) / 255.0f, ag = ((ambient >> 8) & 0xFF) / 255.0f,
                ab = (ambient & 0xFF) / 255.0f;
    return Channel(m.Diffuse.a) << 24 | Channel(m.Emissive.r + ar * m.Ambient.r) << 16 |
           Channel(m.Emissive.g + ag * m.Ambient.g) << 8 | Channel(m.Emissive.b + ab * m.Ambient.b);
}

}  // namespace

HRESULT ID3DXMesh::DrawSubset(DWORD attribId) {
    if (!device_) return D3DERR_INVALIDCALL;
    const auto range = std::lower_bound(ranges_.begin(), ranges_.end(), attribId,
                                        [](const Range& r, DWORD a) { return r.attrib < a; });
    if (range == ranges_.end() || range->attrib != attribId) return D3D_OK;  // empty: nothing
    D3DXMATRIX world, view, projection, wv, wvp;
    device_->GetTransform(D3DTS_WORLD, &world);
    device_->GetTransform(D3DTS_VIEW, &view);
    device_->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&wv, &world, &view);
    D3DXMatrixMultiply(&wvp, &wv, &projection);
    D3DMATERIAL9 material;
    device_->GetMaterial(&material);
    DWORD lighting = 0, ambient = 0, zenable = 0;
    device_->GetRenderState(D3DRS_LIGHTING, &lighting);
    device_->GetRenderState(D3DRS_AMBIENT, &ambient);
    device_->GetRenderState(D3DRS_ZENABLE, &zenable);

    platform::soft::RasterState state;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) state.matrix[r][c] = wvp.m[r][c];
    state.color = LitColor(material, lighting != 0, ambient);
    if (const IDirect3DTexture9* t = device_->GetTexture(0)) {
        state.texels = t->Texels();
        state.textureWidth = static_cast<int>(t->Width());
        state.textureHeight = static_cast<int>(t->Height());
    }
    state.depthTest = zenable != 0;
    // Only the subset's own vertices are transformed.
    device_->target_->Triangles(state,
                                reinterpret_cast<const platform::soft::RasterVertex*>(
                                    subsetVertices_.data() + range->firstVertex),
                                range->vertexCount,
                                subsetIndices_.data() + 3 * std::size_t{range->firstFace},
                                range->faceCount);
    return D3D_OK;
}
