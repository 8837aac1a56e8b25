#include "game/weapon_fire.h"

#include <cmath>

#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"
#include "entities/bunny.h"

// The event used to free itself at the end of its own constructor, which left
// its creator holding freed storage; now its lifetime is the caller's.
WeaponFire::WeaponFire(int x, int y) { WeaponFire::FireAt(x, y); }

void WeaponFire::Shoot(int x, int y) { WeaponFire event(x, y); }

void WeaponFire::FireAt(int x, int y) {
    for (Bunny* bunny : EntitiesOf<Bunny>(kBunnyKind)) {
        const float dx = bunny->position->x - static_cast<float>(x);
        const float dy = bunny->position->y - static_cast<float>(y);
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (distance < 50.0f) {
            bunny->Hit();
            return;
        }
    }
}
