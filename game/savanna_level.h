// The savanna: twenty grass patches and a hundred giraffes scattered over the
// screen; keyboard commands add giraffes and lions, delete them, and switch
// the lions' group mode. Two text lines show the live counts.
#pragma once

#include "engine/base_level.h"

class BitmapText;
class Giraffe;
class GrassNode;
class Lion;

class SavannaLevel : public BaseLevel {
  public:
    static constexpr int kGrassCount = 20;
    static constexpr int kGiraffeCount = 100;
    static constexpr int kLineSize = 15;  // terminating zero included

    void Init() override;
    void Update() override;
    void Shutdown() override {}

    GrassNode* grass[kGrassCount] = {};
    Giraffe* lastGiraffe = nullptr;
    Lion* lastLion = nullptr;
    BitmapText* giraffeText = nullptr;
    char giraffeTextBuffer[kLineSize] = {};
    BitmapText* lionText = nullptr;
    char lionTextBuffer[kLineSize] = {};
    BitmapText* menuText = nullptr;
    // Giraffes and lions freed so far after leaving play.
    int reclaimed = 0;

  private:
    void AddGiraffes();
    void AddLion();
    // Frees the giraffes and lions taken out of play that nothing reads any more.
    void ReclaimSpent();
};
