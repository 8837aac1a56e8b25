#include "entities/base_model.h"

#include <cstdio>

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/entity_kinds.h"
#include "engine/renderer.h"
#include "platform/core/debug.h"

namespace {
constexpr std::size_t kMaxPath = 260;
constexpr const char* kCaption = "Meshes.exe";
}  // namespace

BaseModel::BaseModel(const char* fileName)
    : position(new Vector3(0, 0, 0)), rotation(new Vector3(0, 0, 0)) {
    kind = kModelKind;
    Register();
    mesh = nullptr;
    materials = nullptr;
    textures = nullptr;
    materialCount = 0;
    IDirect3DDevice9* device = engine->renderer->device;
    ID3DXBuffer* pD3DXMtrlBuffer = nullptr;
    DWORD count = 0;
    if (FAILED(D3DXLoadMeshFromXA(fileName, D3DXMESH_SYSTEMMEM, device, nullptr, &pD3DXMtrlBuffer,
                                  nullptr, &count, &mesh))) {
        // The fixed fallback name, whatever name was given.
        if (FAILED(D3DXLoadMeshFromXA("..\\Tiger.x", D3DXMESH_SYSTEMMEM, device, nullptr,
                                      &pD3DXMtrlBuffer, nullptr, &count, &mesh))) {
            MessageBoxA(nullptr, "Could not find tiger.x", kCaption, MB_OK);
            return;
        }
    }
    materialCount = count;
    const auto* d3dxMaterials =
        static_cast<const D3DXMATERIAL*>(pD3DXMtrlBuffer->GetBufferPointer());
    materials = new D3DMATERIAL9[materialCount];
    textures = new IDirect3DTexture9*[materialCount];
    for (std::uint32_t i = 0; i < materialCount; ++i) {
        materials[i] = d3dxMaterials[i].MatD3D;
        materials[i].Ambient = materials[i].Diffuse;
        textures[i] = nullptr;
        const char* name = d3dxMaterials[i].pTextureFilename;
        if (!name) continue;
        if (FAILED(D3DXCreateTextureFromFileA(device, name, &textures[i]))) {
            // "..\" plus the name, cut to fit the path buffer.
            char strTexture[kMaxPath];
            std::snprintf(strTexture, kMaxPath, "..\\%s", name);
            if (FAILED(D3DXCreateTextureFromFileA(device, strTexture, &textures[i]))) {
                MessageBoxA(nullptr, "Could not find texture map", kCaption, MB_OK);
                textures[i] = nullptr;
            }
        }
    }
    pD3DXMtrlBuffer->Release();
    ready = 1;
}

BaseModel::~BaseModel() {
    for (std::uint32_t i = 0; textures && i < materialCount; ++i)
        if (textures[i]) textures[i]->Release();
    delete[] textures;
    delete[] materials;
    if (mesh) mesh->Release();
    delete position;
    delete rotation;
}

void BaseModel::SetPosition(float x, float y, float z) {
    position->x = x;
    position->y = y;
    position->z = z;
}

void BaseModel::SetRotation(float x, float y, float z) {
    rotation->x = x;
    rotation->y = y;
    rotation->z = z;
}

void BaseModel::Render() {
    Renderer* renderer = engine->renderer;
    if (!renderer->device) return;
    renderer->SetWorldTransform(position, rotation);
    for (std::uint32_t i = 0; i < materialCount; ++i) {
        renderer->device->SetMaterial(&materials[i]);
        renderer->device->SetTexture(0, textures[i]);
        mesh->DrawSubset(i);
    }
}

void BaseModel::Dump(DumpRecord* record) {
    BaseEntity::Dump(record);
    record->Set("class", "BaseModel");
    record->Set("x", position->x);
    record->Set("y", position->y);
    record->Set("z", position->z);
    record->Set("rot", std::vector<float>{rotation->x, rotation->y, rotation->z});
    record->Set("materials", static_cast<std::int64_t>(materialCount));
}
