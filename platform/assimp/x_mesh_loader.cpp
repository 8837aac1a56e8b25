// The X-file reader on Assimp. X files are left-handed with V running down
// the texture, as the mesh functions want them; Assimp converts every format
// to its own right-handed convention on import, and ConvertToLeftHanded
// undoes exactly that (z, V and the winding). Assimp splits a mesh into one
// mesh per used material; they are joined again here into one vertex and
// index list, each triangle keeping its material as its subset. The file is
// read here and handed to Assimp from memory, so a size limit, the X magic
// and the file's counts, material lists and limits (XFileFault) are checked
// before any parsing.
//
// Subsets follow the file, not Assimp's material list (which puts materials
// outside any mesh first and adds a grey one to a file without any): the
// entries of the meshes' material lists in order, a material a list names
// again by reference keeping its first subset. A mesh without a material
// list has its faces in subset 0; a file without materials has none.
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "platform/assimp/assimp_driver.h"
#include "platform/assimp/x_file_check.h"
#include "platform/core/debug.h"
#include "platform/core/input_script.h"  // Shown
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

// A material's name as Assimp's X reader stores it ("" without one). Every
// material it reads has one; the grey one it adds has none.
std::string NameOf(const aiMaterial* m) {
    aiString name;
    return m->Get(AI_MATKEY_NAME, name) == aiReturn_SUCCESS ? name.C_Str() : "";
}
bool Named(const aiMaterial* m) {
    aiString name;
    return m->Get(AI_MATKEY_NAME, name) == aiReturn_SUCCESS;
}
bool OnlyGrey(const aiScene* scene) {
    return scene->mNumMaterials == 1 && !Named(scene->mMaterials[0]);
}

// The subsets: the scene material each one draws with, and the subset of each
// of the scene's meshes as Assimp read them.
struct Subsets {
    std::vector<unsigned> material;
    std::vector<unsigned> ofMesh;
};

// The subsets in the file's order, from the layout of the file's materials
// and meshes; false when the scene is not what the layout says the reader
// makes of the file (every mesh and material, in order, counted the same).
bool FileOrder(const aiScene* scene, const platform::assimp::XFileLayout& layout, Subsets* out) {
    const unsigned materials = scene->mNumMaterials;
    unsigned made = 0;  // the reader numbers materials of their own as it meets them
    auto own = [&](const platform::assimp::XMaterialEntry& e) {
        if (made >= materials || !Named(scene->mMaterials[made])) return false;
        if (e.named && NameOf(scene->mMaterials[made]) != e.name) return false;
        return ++made, true;
    };
    for (const auto& global : layout.globals)
        if (!own(global)) return false;
    std::vector<int> subsetOf(materials, -1);
    unsigned mesh = 0;
    // The next scene mesh: `faces` faces of scene material `material` (of
    // any for a reference, which Assimp 5.2 resolves to the wrong material).
    constexpr unsigned kAny = ~0u;
    auto next = [&](unsigned material, std::uint32_t faces, unsigned subset) {
        if (mesh >= scene->mNumMeshes) return false;
        const aiMesh* m = scene->mMeshes[mesh++];
        if ((material != kAny && m->mMaterialIndex != material) || m->mNumFaces != faces)
            return false;
        out->ofMesh.push_back(subset);
        return true;
    };
    for (const platform::assimp::XMeshLayout& m : layout.meshes) {
        std::vector<unsigned> sceneOf;
        for (const auto& e : m.entries) {
            if (!e.reference) {
                if (!own(e)) return false;
                sceneOf.push_back(made - 1);
                continue;
            }
            // By name among those made so far; the first material otherwise.
            unsigned found = 0;
            for (unsigned i = 0; i < made; ++i)
                if (std::strcmp(NameOf(scene->mMaterials[i]).c_str(), e.name.c_str()) == 0) {
                    found = i;
                    break;
                }
            if (found >= materials) return false;
            sceneOf.push_back(found);
        }
        for (unsigned s : sceneOf)
            if (subsetOf[s] < 0) {
                subsetOf[s] = static_cast<int>(out->material.size());
                out->material.push_back(s);
            }
        if (!m.hasFaceMaterials) {
            if (m.faces > 0 && !next(0, m.faces, 0)) return false;
            continue;
        }
        for (std::size_t b = 0; b < sceneOf.size(); ++b) {
            const unsigned expected = m.entries[b].reference ? kAny : sceneOf[b];
            const auto subset = static_cast<unsigned>(subsetOf[sceneOf[b]]);
            if (m.faceCounts[b] > 0 && !next(expected, m.faceCounts[b], subset)) return false;
        }
    }
    // Every material made is one of the file's, or the reader's grey one
    // for a file without any.
    return mesh == scene->mNumMeshes && (made == materials || (made == 0 && OnlyGrey(scene)));
}

// Assimp's own order: its materials as they are, but for its grey one.
Subsets AssimpOrder(const aiScene* scene) {
    Subsets out;
    for (unsigned i = 0; i < scene->mNumMaterials && !OnlyGrey(scene); ++i)
        out.material.push_back(i);
    for (unsigned i = 0; i < scene->mNumMeshes; ++i)
        out.ofMesh.push_back(scene->mMeshes[i]->mMaterialIndex);
    return out;
}

// The joined mesh of the processed scene, whose meshes carry their subset as
// their material index.
HRESULT Convert(const aiScene* scene, const Subsets& subsets, XMeshData* out) {
    for (unsigned i : subsets.material)
        out->materials.push_back(ConvertMaterial(scene->mMaterials[i]));
    for (unsigned mi = 0; mi < scene->mNumMeshes; ++mi) {
        const aiMesh* mesh = scene->mMeshes[mi];
        if (mesh->mMaterialIndex >= std::max<std::size_t>(out->materials.size(), 1))
            return kLoadFailed;
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

// What Assimp said of a file it refused, as one line shows it.
std::string Refusal(const Assimp::Importer& importer) {
    std::string said = importer.GetErrorString() ? importer.GetErrorString() : "";
    while (!said.empty() && (said.back() == '.' || said.back() == ' ' || said.back() == '\n'))
        said.pop_back();
    return "the X reader refuses it: " +
           (said.empty() ? "no reason given" : platform::Shown(said, 200));
}

// Bytes that passed XFileFault, read by Assimp into `out` (empty on
// failure, with the reason in `why`).
HRESULT ReadChecked(const void* bytes, std::size_t size, XMeshData* out, std::string* why) {
    const auto* data = static_cast<const std::uint8_t*>(bytes);
    try {
        const platform::assimp::XFileLayout layout = platform::assimp::XMaterialLayout(data, size);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFileFromMemory(bytes, size, 0, "x");
        if (!scene) return *why = Refusal(importer), kLoadFailed;
        if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode)
            return *why = "the file holds no mesh", kLoadFailed;
        if (!FacesIndexTheirVertices(scene))
            return *why = "the X reader made faces outside their vertices", kLoadFailed;
        // Each mesh's material index becomes its subset before the meshes
        // are joined by material. The scene is the importer's to change.
        Subsets subsets;
        if (!FileOrder(scene, layout, &subsets)) subsets = AssimpOrder(scene);
        for (unsigned i = 0; i < scene->mNumMeshes; ++i)
            scene->mMeshes[i]->mMaterialIndex = subsets.ofMesh[i];
        scene = importer.ApplyPostProcessing(
            aiProcess_ConvertToLeftHanded | aiProcess_PreTransformVertices | aiProcess_Triangulate |
            aiProcess_JoinIdenticalVertices);
        if (!scene) return *why = Refusal(importer), kLoadFailed;
        const HRESULT hr = Convert(scene, subsets, out);
        if (FAILED(hr)) {
            *out = XMeshData{};
            *why = "the X reader's meshes do not fit together";
        }
        return hr;
    } catch (const std::bad_alloc&) {
        *out = XMeshData{};
        *why = "out of memory";
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        *out = XMeshData{};
        *why = std::string("the X reader failed: ") + platform::Shown(e.what(), 200);
        return kLoadFailed;
    } catch (...) {
        *out = XMeshData{};
        *why = "the X reader failed";
        return kLoadFailed;
    }
}

}  // namespace

HRESULT LoadXMeshFile(const char* path, XMeshData* out) {
    if (!path || !out) return E_POINTER;
    *out = XMeshData{};
    auto refuse = [&](const std::string& why, HRESULT hr = kLoadFailed) {
        platform::ReportLoadFailure(path, why);
        return hr;
    };
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return refuse(std::string("cannot read the file: ") + std::strerror(errno));
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
        return refuse("out of memory", E_OUTOFMEMORY);
    }
    const int readError = std::ferror(f) ? errno : 0;
    std::fclose(f);
    static_assert(platform::assimp::kMaxXFileBytes == 64u << 20);
    if (tooLarge) return refuse("the file is larger than 64 MB");
    if (readError) return refuse(std::string("cannot read the file: ") + std::strerror(readError));
    if (const char* fault = platform::assimp::XFileFault(bytes.data(), bytes.size()))
        return refuse(fault);
    std::string why;
    const HRESULT hr = ReadChecked(bytes.data(), bytes.size(), out, &why);
    return FAILED(hr) ? refuse(why, hr) : hr;
}

namespace platform::assimp {

HRESULT LoadXMeshMemory(const void* bytes, std::size_t size, XMeshData* out) {
    if (!out || (!bytes && size > 0)) return E_POINTER;
    *out = XMeshData{};
    if (size > kMaxXFileBytes || XFileFault(static_cast<const std::uint8_t*>(bytes), size))
        return kLoadFailed;
    std::string why;
    return ReadChecked(bytes, size, out, &why);
}

const MeshLoader kMeshLoader = {.name = "assimp", .load = LoadXMeshFile};

}  // namespace platform::assimp
