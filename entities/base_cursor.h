/// @file
/// A plain image that follows the mouse's relative motion.
#pragma once

#include "entities/base_sprite.h"

class BaseCursor : public BaseSprite {
  public:
    explicit BaseCursor(const char* fileName);
    void Update() override;
    void Dump(DumpRecord* record) override;
};
