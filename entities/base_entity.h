// The root of everything the engine updates and draws each frame. Each
// concrete entity sets its kind and registers itself under it.
#pragma once

#include <cstdint>

#include "engine/base_object.h"

class BaseEntity : public virtual BaseObject {
public:
    BaseEntity() {}
    ~BaseEntity() override {}
    virtual void Update() = 0;
    virtual void Render() = 0;

    std::int32_t kind;
    std::int32_t ready = 0;
};
