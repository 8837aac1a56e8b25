/// @file
/// A 2D entity: an image from the texture cache drawn at a screen position
/// through the shared sprite batch, moved by its velocity once per update.
#pragma once

#include "base/vector3.h"
#include "engine/base_entity.h"
#include "engine/entity_kinds.h"

class IDirect3DTexture9;

class BaseSprite : public BaseEntity {
  public:
    /// For derived classes: position and velocity at zero; no kind, no
    /// registration, no image (the derived constructor does those).
    BaseSprite();
    /// A plain sprite (kSpriteKind) showing the image in that file, registered.
    explicit BaseSprite(const char* fileName);
    ~BaseSprite() override;

    void Update() override;
    void Render() override;
    void Dump(DumpRecord* record) override;

    void SetPosition(float x, float y);
    Vector3* GetPosition() { return position; }
    /// Whole degrees, 0 to the right and 90 up the screen; speed in pixels per update.
    void SetDirection(float angle, float speed);
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }

    Vector3* position;
    Vector3* velocity;
    IDirect3DTexture9* texture = nullptr;
    int width = 0;
    int height = 0;

  protected:
    /// Registers under `kind` and loads the image; copies texture, and the
    /// image size when `copySize`. A missing image leaves texture null.
    void SetUp(std::int32_t spriteKind, const char* fileName, bool copySize);
};

/// Whether the two image rectangles overlap; edges are inclusive.
bool Collides(const BaseSprite* a, const BaseSprite* b);
