#include "game/giraffe.h"

#include "base/random.h"
#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"
#include "game/aim.h"
#include "game/grass_node.h"

namespace {

constexpr int kAimEvery = 50;
constexpr float kArrival = 25.0f;
constexpr float kSpeed = 5.0f;

}  // namespace

Giraffe::Giraffe(const char* fileName) {
    SetUp(kGiraffeKind, fileName, true);
    heading = 180;
    targetGrass = -1;
    aimCounter = 0;
    atGrass = false;
}

void Giraffe::Update() {
    bool mayAim = true;
    if (targetGrass == -1 || atGrass) {
        const int n = CountOf(kGrassKind);
        if (n == 0 || (n == 1 && targetGrass == 0)) {
            // No other patch to choose (none at all, or only the one it has
            // reached): keep the target and leave the heading alone.
            mayAim = false;
        } else {
            const int old = targetGrass;
            do {
                targetGrass = Rand() % n;
            } while (targetGrass == old);
            aimCounter = kAimEvery;
            atGrass = false;
        }
    }
    if (mayAim && !atGrass && aimCounter >= kAimEvery) {
        for (GrassNode* g : EntitiesOf<GrassNode>(kGrassKind)) {
            if (g->grassId == targetGrass)
                AimHeading(g->position->x - position->x, -(g->position->y - position->y), &heading);
        }
        aimCounter = 0;
    }
    for (GrassNode* g : EntitiesOf<GrassNode>(kGrassKind)) {
        if (g->grassId == targetGrass &&
            Distance(position->x, position->y, g->position->x, g->position->y) < kArrival)
            atGrass = true;
    }
    aimCounter = aimCounter + 1;
    const int wobble = Rand() % 180 - 90;
    SetDirection(static_cast<float>(heading + wobble), kSpeed);
    BaseSprite::Update();
}

void Giraffe::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Giraffe");
    record->Set("heading", static_cast<int>(heading));
    record->Set("target", static_cast<int>(targetGrass));
    record->Set("atGrass", atGrass);
}
