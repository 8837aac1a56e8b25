/// @file
/// The root of everything the engine updates and draws each frame. Each
/// concrete entity sets its kind and registers itself under it.
#pragma once

#include <cstdint>

#include "engine/base_object.h"

class DumpRecord;

class BaseEntity : public virtual BaseObject {
  public:
    BaseEntity() {}
    ~BaseEntity() override;
    virtual void Update() = 0;
    virtual void Render() = 0;
    /// Describes the entity for the entity dump: kind, class, position and
    /// whatever state of its own it has. Derived classes extend their base's.
    virtual void Dump(DumpRecord* record);
    /// Adds the entity to the engine's registry under its kind and gives it the
    /// next serial id (0, 1, 2 ... in registration order), which dumps use to
    /// refer to one entity from another.
    void Register();

    std::int32_t kind;
    std::int32_t id = -1;
    std::int32_t ready = 0;
};

/// The entity behind one registry value, as a T (which it must be). Registry
/// values are BaseEntity pointers (Register adds `this`), so a value goes back
/// to BaseEntity* first and only then down to its class: a straight cast from
/// void* to the class is undefined (a class with a virtual base is no
/// standard-layout class) and lands on the wrong address wherever BaseEntity
/// is not at the object's start.
template <typename T = BaseEntity>
T* EntityOf(void* value) {
    return static_cast<T*>(static_cast<BaseEntity*>(value));
}
