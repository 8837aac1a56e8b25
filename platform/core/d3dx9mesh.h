/// @file
/// Meshes of the utility library: an X file loaded into one mesh whose
/// subsets are the file's materials, drawn subset by subset on the device
/// with its current transforms, material and texture.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/d3dx9.h"

constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;

/// One material of a loaded mesh and the texture file it names (null: none).
struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    char* pTextureFilename;
};

/// A block of bytes handed out by the loader (the material list).
class ID3DXBuffer {
  public:
    explicit ID3DXBuffer(std::size_t size) : bytes_(size) {}
    void* GetBufferPointer() { return bytes_.data(); }
    DWORD GetBufferSize() const { return static_cast<DWORD>(bytes_.size()); }
    ULONG Release();

  private:
    std::vector<std::uint8_t> bytes_;
};

/// Position and texture coordinates; the fixed-function lighting without
/// lights needs no normals.
struct MeshVertex {
    float x, y, z;
    float u, v;
};

class ID3DXMesh {
  public:
    ID3DXMesh(IDirect3DDevice9* device, std::vector<MeshVertex> vertices,
              std::vector<std::uint32_t> indices, std::vector<DWORD> attributes);
    /// The device's drawing may still read the vertices: it is finished first.
    ~ID3DXMesh();
    /// Draws the triangles of subset `attribId` with the device's state.
    HRESULT DrawSubset(DWORD attribId);
    DWORD GetNumFaces() const { return static_cast<DWORD>(attributes_.size()); }
    DWORD GetNumVertices() const { return static_cast<DWORD>(vertices_.size()); }
    const std::vector<MeshVertex>& Vertices() const { return vertices_; }
    /// Three per face, faces grouped by subset in ascending order.
    const std::vector<std::uint32_t>& Indices() const { return indices_; }
    /// The subset of each face, in the order of Indices().
    const std::vector<DWORD>& Attributes() const { return attributes_; }
    ULONG Release();

  private:
    /// A subset's faces (a run of Indices()) and the vertices they use, which
    /// are all a draw of it transforms.
    struct Range {
        DWORD attrib, firstFace, faceCount;
        std::uint32_t firstVertex, vertexCount;
    };
    IDirect3DDevice9* device_;
    std::shared_ptr<platform::detail::DeviceLink> owner_;  // null without a device
    std::vector<MeshVertex> vertices_;
    std::vector<std::uint32_t> indices_;
    std::vector<DWORD> attributes_;
    std::vector<Range> ranges_;  ///< ascending by subset
    /// Each subset's vertices in turn, and Indices() as indices into its own.
    std::vector<MeshVertex> subsetVertices_;
    std::vector<std::uint32_t> subsetIndices_;
};

/// Loads an X file (name resolved as image names are). On success `materials`
/// holds `numMaterials` D3DXMATERIAL records whose texture names live in the
/// same buffer. Adjacency and effect instances are not produced (must be null).
HRESULT D3DXLoadMeshFromXA(const char* fileName, DWORD options, IDirect3DDevice9* device,
                           ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                           ID3DXBuffer** effectInstances, DWORD* numMaterials, ID3DXMesh** mesh);

/// A texture of the file's image at its own size, without a colour key.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* fileName,
                                   IDirect3DTexture9** texture);
