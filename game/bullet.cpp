#include "game/bullet.h"

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "game/scorer.h"
#include "game/shooter_kinds.h"

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
        registry->Reset();
        while (void* v = registry->Find(kPlayerKind)) {
            auto* ship = static_cast<BaseSprite*>(static_cast<BaseEntity*>(v));
            if (Collides(this, ship)) registry->Remove(v);
        }
    } else if (ownerKind == kPlayerKind) {
        registry->Reset();
        // Goes on after a hit: one bullet takes every enemy it touches.
        while (void* v = registry->Find(kEnemyKind)) {
            if (Collides(this, static_cast<BaseSprite*>(static_cast<BaseEntity*>(v)))) {
                registry->Remove(v);
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
