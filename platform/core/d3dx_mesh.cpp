// X-file meshes: the file is read by the mesh reader (platform/assimp) into
// plain data, which becomes one mesh with a subset per material and a
// material buffer laid out as the utility library lays it out.
#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

#include "platform/core/d3dx9mesh.h"
#include "platform/core/debug.h"
#include "platform/core/image.h"
#include "platform/core/x_mesh_data.h"
#include "platform/driver.h"

ULONG ID3DXBuffer::Release() {
    delete this;
    return 0;
}

ID3DXMesh::ID3DXMesh(IDirect3DDevice9* device, std::vector<MeshVertex> vertices,
                     std::vector<std::uint32_t> indices, std::vector<DWORD> attributes)
    : device_(device), owner_(device ? device->link_ : nullptr), vertices_(std::move(vertices)) {
    // Faces are grouped by subset (stable, so each subset keeps the file's
    // order) and each subset's run is remembered for DrawSubset.
    const std::size_t faces = std::min(attributes.size(), indices.size() / 3);
    std::vector<std::size_t> order(faces);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return attributes[a] < attributes[b]; });
    indices_.reserve(faces * 3);
    attributes_.reserve(faces);
    for (std::size_t f : order) {
        indices_.insert(indices_.end(), indices.begin() + 3 * f, indices.begin() + 3 * f + 3);
        const DWORD a = attributes[f];
        if (ranges_.empty() || ranges_.back().attrib != a)
            ranges_.push_back({a, static_cast<DWORD>(attributes_.size()), 0, 0, 0});
        ++ranges_.back().faceCount;
        attributes_.push_back(a);
    }
    // Each subset's own vertices, in the order its faces first use them; an
    // index past the vertices stays past them, so its triangle is skipped.
    constexpr std::uint32_t kPast = 0xFFFFFFFFu;
    std::vector<std::size_t> seenBy(vertices_.size(), ranges_.size());
    std::vector<std::uint32_t> local(vertices_.size());
    subsetIndices_.reserve(indices_.size());
    for (std::size_t r = 0; r < ranges_.size(); ++r) {
        Range& range = ranges_[r];
        range.firstVertex = static_cast<std::uint32_t>(subsetVertices_.size());
        const std::size_t end = 3 * (std::size_t{range.firstFace} + range.faceCount);
        for (std::size_t i = 3 * std::size_t{range.firstFace}; i < end; ++i) {
            const std::uint32_t v = indices_[i];
            if (v >= vertices_.size()) {
                subsetIndices_.push_back(kPast);
                continue;
            }
            if (seenBy[v] != r) {
                seenBy[v] = r;
                local[v] = range.vertexCount++;
                subsetVertices_.push_back(vertices_[v]);
            }
            subsetIndices_.push_back(local[v]);
        }
    }
}

ID3DXMesh::~ID3DXMesh() {
    if (owner_) owner_->Finish();
}

ULONG ID3DXMesh::Release() {
    delete this;
    return 0;
}

HRESULT D3DXLoadMeshFromXA(const char* fileName, DWORD, IDirect3DDevice9* device,
                           ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                           ID3DXBuffer** effectInstances, DWORD* numMaterials, ID3DXMesh** mesh) {
    if (!mesh) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (materials) *materials = nullptr;
    if (!fileName || !device || adjacency || effectInstances) return D3DERR_INVALIDCALL;
    const std::string path = platform::ResolveImagePath(fileName);
    if (path.empty()) {
        platform::ReportLoadFailure(fileName, "no such file");
        return D3DXERR_INVALIDDATA;
    }
    XMeshData data;
    const platform::MeshLoader* loader = platform::InstalledDrivers().mesh;
    if (!loader || !loader->load) return D3DXERR_INVALIDDATA;
    const HRESULT hr = loader->load(path.c_str(), &data);
    if (FAILED(hr)) return hr;
    for (std::uint32_t i : data.indices)
        if (i >= data.vertices.size()) return D3DXERR_INVALIDDATA;

    std::vector<MeshVertex> vertices;
    vertices.reserve(data.vertices.size());
    for (const XMeshVertex& v : data.vertices) vertices.push_back({v.x, v.y, v.z, v.u, v.v});
    std::vector<DWORD> attributes(data.faceMaterial.begin(), data.faceMaterial.end());

    if (materials) {
        // The records first, then the texture names they point at.
        const std::size_t n = data.materials.size();
        std::size_t size = n * sizeof(D3DXMATERIAL);
        for (const XMeshMaterial& m : data.materials)
            if (m.hasTexture) size += m.textureFile.size() + 1;
        auto* buffer = new ID3DXBuffer(std::max<std::size_t>(size, 1));
        auto* records = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
        char* names = reinterpret_cast<char*>(records + n);
        for (std::size_t i = 0; i < n; ++i) {
            const XMeshMaterial& m = data.materials[i];
            D3DMATERIAL9& d = records[i].MatD3D;
            d.Diffuse = {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3]};
            d.Ambient = {0, 0, 0, 1};
            d.Specular = {m.specular[0], m.specular[1], m.specular[2], 1};
            d.Emissive = {m.emissive[0], m.emissive[1], m.emissive[2], 1};
            d.Power = m.power;
            records[i].pTextureFilename = nullptr;
            if (m.hasTexture) {
                std::memcpy(names, m.textureFile.c_str(), m.textureFile.size() + 1);
                records[i].pTextureFilename = names;
                names += m.textureFile.size() + 1;
            }
        }
        *materials = buffer;
    }
    if (numMaterials) *numMaterials = static_cast<DWORD>(data.materials.size());
    *mesh =
        new ID3DXMesh(device, std::move(vertices), std::move(data.indices), std::move(attributes));
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* fileName,
                                   IDirect3DTexture9** texture) {
    return D3DXCreateTextureFromFileExA(device, fileName, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                                        0, nullptr, nullptr, texture);
}
