// A one-shot hit test at a screen point: the first bunny (in registry order)
// within 50 pixels of the point is hit, whether or not it was hit before.
#pragma once

#include "levels/base_event.h"

class WeaponFire : public BaseEvent {
  public:
    // Fires at (x, y) as it is built. The event keeps nothing, so building one
    // on the stack is the whole use; Shoot does exactly that.
    WeaponFire(int x, int y);
    bool IsDone() override { return false; }
    virtual void FireAt(int x, int y);

    static void Shoot(int x, int y);
};
