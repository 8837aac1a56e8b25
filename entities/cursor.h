/// @file
/// The gallery's crosshair: follows the mouse and, while the left button is
/// held, plays the gunshot and shoots every bunny near it.
#pragma once

#include "entities/base_sprite.h"

class CSound;
struct SYSTEMTIME;

class Cursor : public BaseSprite {
  public:
    explicit Cursor(const char* fileName);
    /// Frees the gunshot (which stops it) and the two times.
    ~Cursor() override;
    void Update() override;
    void Dump(DumpRecord* record) override;

    CSound* sound = nullptr;  ///< null when the gunshot could not be made: shots are silent
    SYSTEMTIME* fireTime;
    SYSTEMTIME* rearmTime;
};
