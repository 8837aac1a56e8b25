/// @file
/// A level: builds its scene in Init, runs its own logic in Update, and owns
/// the loop (Run) that drives the engine while it is played.
#pragma once

#include <cstdint>

#include "engine/base_object.h"

class BaseLevel : public virtual BaseObject {
  public:
    BaseLevel() {}
    ~BaseLevel() override {}
    virtual void Init() {}
    virtual void Update() {}
    virtual void Run();
    virtual void Shutdown() {}

    bool running;
    /// Set when Run ended because the window closed (not because the host
    /// ended the level).
    bool closed = false;
    std::int64_t startTime;
};
