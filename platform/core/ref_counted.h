/// @file
/// Reference counting for core's interface objects: an object starts with
/// one reference, AddRef adds one, and the Release that drops the last one
/// deletes the object.
#pragma once

#include "platform/core/types.h"

template <typename Derived>
class RefCounted {
  public:
    ULONG AddRef() { return ++refs_; }
    ULONG Release() {
        const ULONG left = --refs_;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

  protected:
    RefCounted() = default;
    ~RefCounted() = default;

  private:
    ULONG refs_ = 1;
};
