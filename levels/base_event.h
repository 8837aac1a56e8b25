/// @file
/// A one-off scripted action a level triggers itself. Events are not entities:
/// nothing updates, draws or polls them.
#pragma once

#include "engine/base_object.h"

class BaseEvent : public virtual BaseObject {
  public:
    BaseEvent() {}
    ~BaseEvent() override {}
    virtual void Fire() {}
    virtual bool IsDone() { return false; }
};
