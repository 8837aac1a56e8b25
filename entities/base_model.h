/// @file
/// A 3D entity: a mesh loaded from an X file with its materials and textures,
/// drawn each frame at its position and orientation. Its own Update does
/// nothing; whatever moves it is done by its owner through the setters.
#pragma once

#include <cstdint>

#include "base/vector3.h"
#include "engine/base_entity.h"
#include "platform/core/d3dx9mesh.h"

class BaseModel : public BaseEntity {
  public:
    /// Loads the mesh (falling back to "..\Tiger.x") and its textures (falling
    /// back to the parent folder); a failure shows a message box and leaves
    /// the model registered, drawing what it could load.
    explicit BaseModel(const char* fileName);
    /// Frees the mesh, its materials and textures.
    ~BaseModel() override;

    void Update() override {}
    void Render() override;
    void Dump(DumpRecord* record) override;

    void SetPosition(float x, float y, float z);
    void SetX(float x) { position->x = x; }
    void SetY(float y) { position->y = y; }
    void SetZ(float z) { position->z = z; }
    /// x is the yaw, y the pitch, z the roll, in radians.
    void SetRotation(float x, float y, float z);
    void SetRotationX(float x) { rotation->x = x; }
    void SetRotationY(float y) { rotation->y = y; }
    void SetRotationZ(float z) { rotation->z = z; }
    Vector3* GetPosition() { return position; }
    Vector3* GetRotation() { return rotation; }

    Vector3* position;
    Vector3* rotation;
    ID3DXMesh* mesh = nullptr;
    D3DMATERIAL9* materials = nullptr;
    IDirect3DTexture9** textures = nullptr;
    std::uint32_t materialCount = 0;
};
