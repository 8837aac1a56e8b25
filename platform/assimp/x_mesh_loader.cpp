// The X-file reader on Assimp. X files are left-handed with V running down
// the texture, as the mesh functions want them; Assimp converts every format
// to its own right-handed convention on import, and ConvertToLeftHanded
// undoes exactly that (z, V and the winding). Assimp splits a mesh into one
// mesh per used material; they are joined again here into one vertex and
// index list, each triangle keeping its material as its subset. The file is
// read here and handed to Assimp from memory, so a size limit, the X magic
// and the file's counts and material lists (XFileFault) are checked before
// any parsing.
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cstdint>
#include <cstdio>
#include <new>
#include <vector>

#include "platform/assimp/assimp_driver.h"
#include "platform/assimp/x_file_check.h"
#include "platform/core/debug.h"
#include "platform/core/x_mesh_data.h"

namespace {

constexpr HRESULT kLoadFailed = MakeHResult(0x88760B59u);  // D3DXERR_INVALIDDATA

// The first texture the material names, whatever use Assimp guessed from its
// name (it files "bump" or "normal" textures under other kinds).
bool FirstTexture(const aiMaterial* m, std::string* name) {
    static constexpr aiTextureType kTypes[] = {aiTextureType_DIFFUSE,  aiTextureType_HEIGHT,
                                               aiTextureType_NORMALS,  aiTextureType_SPECULAR,
                                               aiTextureType_EMISSIVE, aiTextureType_UNKNOWN};
    for (aiTextureType t : kTypes) {
        aiString path;
        if (m->GetTextureCount(t) > 0 && m->GetTexture(t, 0, &path) == aiReturn_SUCCESS) {
            *name = path.C_Str();
            return true;
        }
    }
    return false;
}

XMeshMaterial ConvertMaterial(const aiMaterial* m) {
    XMeshMaterial out;
    aiColor4D diffuse(1, 1, 1, 1);
    if (m->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse) == aiReturn_SUCCESS) {
        out.diffuse[0] = diffuse.r;
        out.diffuse[1] = diffuse.g;
        out.diffuse[2] = diffuse.b;
        out.diffuse[3] = diffuse.a;
    }
    aiColor3D c(0, 0, 0);
    if (m->Get(AI_MATKEY_COLOR_SPECULAR, c) == aiReturn_SUCCESS) {
        out.specular[0] = c.r;
        out.specular[1] = c.g;
        out.specular[2] = c.b;
    }
    c = aiColor3D(0, 0, 0);
    if (m->Get(AI_MATKEY_COLOR_EMISSIVE, c) == aiReturn_SUCCESS) {
        out.emissive[0] = c.r;
        out.emissive[1] = c.g;
        out.emissive[2] = c.b;
    }
    float power = 0;
    if (m->Get(AI_MATKEY_SHININESS, power) == aiReturn_SUCCESS) out.power = power;
    out.hasTexture = FirstTexture(m, &out.textureFile);
    return out;
}

// Whether every mesh has its vertex and face arrays and every face has indices,
// all within its mesh's vertices. Assimp's processing steps take that as
// given: a face without indices stops the program on an assertion, an index
// past the vertices is read out of bounds. The X reader can hand over such a
// scene from a damaged file.
bool FacesIndexTheirVertices(const aiScene* scene) {
    for (unsigned mi = 0; mi < scene->mNumMeshes; ++mi) {
        const aiMesh* mesh = scene->mMeshes[mi];
        if (!mesh || (mesh->mNumVertices > 0 && !mesh->mVertices) ||
            (mesh->mNumFaces > 0 && !mesh->mFaces))
            return false;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices == 0 || !face.mIndices) return false;
            for (unsigned k = 0; k < face.mNumIndices; ++k)
                if (face.mIndices[k] >= mesh->mNumVertices) return false;
        }
    }
    return true;
}

HRESULT Convert(const aiScene* scene, XMeshData* out) {
    for (unsigned i = 0; i < scene->mNumMaterials; ++i)
        out->materials.push_back(ConvertMaterial(scene->mMaterials[i]));
    for (unsigned mi = 0; mi < scene->mNumMeshes; ++mi) {
        const aiMesh* mesh = scene->mMeshes[mi];
        if (mesh->mMaterialIndex >= out->materials.size()) return kLoadFailed;
        const auto base = static_cast<std::uint32_t>(out->vertices.size());
        const aiVector3D* uv = mesh->HasTextureCoords(0) ? mesh->mTextureCoords[0] : nullptr;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D& p = mesh->mVertices[v];
            out->vertices.push_back({p.x, p.y, p.z, uv ? uv[v].x : 0.0f, uv ? uv[v].y : 0.0f});
        }
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices != 3) continue;  // points and lines are not drawn
            for (int k = 0; k < 3; ++k) {
                if (face.mIndices[k] >= mesh->mNumVertices) return kLoadFailed;
                out->indices.push_back(base + face.mIndices[k]);
            }
            out->faceMaterial.push_back(mesh->mMaterialIndex);
        }
    }
    return S_OK;
}

// Bytes that passed XFileFault, read by Assimp into `out` (empty on failure).
HRESULT ReadChecked(const void* bytes, std::size_t size, XMeshData* out) {
    try {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFileFromMemory(bytes, size, 0, "x");
        if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode ||
            !FacesIndexTheirVertices(scene))
            return kLoadFailed;
        scene = importer.ApplyPostProcessing(
            aiProcess_ConvertToLeftHanded | aiProcess_PreTransformVertices | aiProcess_Triangulate |
            aiProcess_JoinIdenticalVertices);
        if (!scene) return kLoadFailed;
        const HRESULT hr = Convert(scene, out);
        if (FAILED(hr)) *out = XMeshData{};
        return hr;
    } catch (const std::bad_alloc&) {
        *out = XMeshData{};
        return E_OUTOFMEMORY;
    } catch (...) {
        *out = XMeshData{};
        return kLoadFailed;
    }
}

}  // namespace

HRESULT LoadXMeshFile(const char* path, XMeshData* out) {
    if (!path || !out) return E_POINTER;
    *out = XMeshData{};
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return kLoadFailed;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    bool tooLarge = false;
    try {
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) {
            if (bytes.size() + n > platform::assimp::kMaxXFileBytes) {
                tooLarge = true;
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
    } catch (const std::bad_alloc&) {
        std::fclose(f);
        return E_OUTOFMEMORY;
    }
    const bool readFailed = std::ferror(f) != 0;
    std::fclose(f);
    if (tooLarge || readFailed) return kLoadFailed;
    if (const char* fault = platform::assimp::XFileFault(bytes.data(), bytes.size())) {
        platform::ReportLoadFailure(path, fault);
        return kLoadFailed;
    }
    return ReadChecked(bytes.data(), bytes.size(), out);
}

namespace platform::assimp {

HRESULT LoadXMeshMemory(const void* bytes, std::size_t size, XMeshData* out) {
    if (!out || (!bytes && size > 0)) return E_POINTER;
    *out = XMeshData{};
    if (size > kMaxXFileBytes || XFileFault(static_cast<const std::uint8_t*>(bytes), size))
        return kLoadFailed;
    return ReadChecked(bytes, size, out);
}

const MeshLoader kMeshLoader = {.name = "assimp", .load = LoadXMeshFile};

}  // namespace platform::assimp
