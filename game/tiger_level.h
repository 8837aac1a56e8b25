// The 3D level: a scrolling tile-map ground, two tiger meshes (the arrow keys
// steer the first) and a line of text with the ground's scroll offset.
#pragma once

#include "engine/base_level.h"

class TileMap;
class BaseModel;
class BitmapText;

class TigerLevel : public BaseLevel {
  public:
    void Init() override;
    void Update() override;
    void Shutdown() override {}

    TileMap* ground = nullptr;
    BaseModel* tiger = nullptr;
    BaseModel* otherTiger = nullptr;
    BitmapText* coordText = nullptr;
    char coordTextBuffer[15] = {};
};
