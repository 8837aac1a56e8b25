// A grass patch of the savanna: a motionless sprite with an index number that
// giraffes aim for.
#pragma once

#include <cstdint>

#include "entities/base_sprite.h"

class GrassNode : public BaseSprite {
  public:
    // Only the sprite part: no kind, no registration, no image.
    GrassNode() {}
    // A registered patch showing that image, id -1 until SetId.
    explicit GrassNode(const char* fileName);
    ~GrassNode() override {}

    void Update() override;
    void Dump(DumpRecord* record) override;

    void SetId(std::int32_t newId) { grassId = newId; }
    std::int32_t GetId() const { return grassId; }

    // The patch's index number (BaseEntity::id is the registry serial).
    std::int32_t grassId = -1;
};
