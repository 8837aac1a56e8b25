#include "game/bullet.h"

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"
#include "game/scorer.h"

Bullet::Bullet(const char* fileName, BaseSprite* owner_, std::int32_t ownerKind_)
    : owner(owner_), ownerKind(ownerKind_) {
    SetUp(kBulletKind, fileName, true);
}

void Bullet::Update() {
    position->x = position->x + velocity->x * velocity->z / slowdown;
    position->y = position->y - velocity->y * velocity->z / slowdown;
    if (position->y > 1500 || position->y < -200)
        engine->registry->Remove(static_cast<BaseEntity*>(this));
    // Also after leaving play: a bullet still hits what it touches on its way out.
    CheckHits();
}

void Bullet::CheckHits() {
    ObjectList* registry = engine->registry;
    if (ownerKind == kEnemyKind) {
        for (BaseSprite* ship : EntitiesOf<BaseSprite>(kPlayerKind))
            if (Collides(this, ship)) registry->Remove(static_cast<BaseEntity*>(ship));
    } else if (ownerKind == kPlayerKind) {
        // Goes on after a hit: one bullet takes every enemy it touches.
        for (BaseSprite* enemy : EntitiesOf<BaseSprite>(kEnemyKind)) {
            if (Collides(this, enemy)) {
                registry->Remove(static_cast<BaseEntity*>(enemy));
                if (auto* scorer = dynamic_cast<Scorer*>(owner)) scorer->AddScore(10);
                registry->Remove(static_cast<BaseEntity*>(this));
            }
        }
    }
}

void Bullet::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Bullet");
    record->Set("slowdown", slowdown);
    record->Set("ownerKind", static_cast<int>(ownerKind));
    if (owner)
        record->Set("owner", static_cast<int>(owner->id));
    else
        record->Set("owner", static_cast<const char*>(nullptr));
}
