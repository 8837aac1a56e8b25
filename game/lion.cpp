#include "game/lion.h"

#include <cstdint>

#include "base/random.h"
#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"
#include "engine/texture_cache.h"
#include "game/aim.h"
#include "game/giraffe.h"
#include "platform/core/clock.h"

namespace {

constexpr int kAimEvery = 25;
// A new target is aimed at in the same update: any count of kAimEvery or more.
constexpr int kAimAtNewTarget = 50;
constexpr float kCatch = 10.0f;
constexpr float kRecruit = 50.0f;
constexpr int kFullPride = 5;
constexpr float kSpeed = 10.0f;
constexpr const char* kLeaderImage = "lionleader.bmp";

}  // namespace

Lion::Lion(const char* fileName) : Lion(fileName, false) {
    birthTime = new SYSTEMTIME{};
    GetSystemTime(birthTime);
    Srand(birthTime->wMilliseconds);
    // Only the last of twenty rolls counts.
    int randNum = 0;
    for (int i = 0; i < 20; ++i) randNum = LeaderRoll(Rand());
    if (randNum > 80) MakeLeader();
}

int Lion::LeaderRoll(int randValue) {
    constexpr int lo = 1, hi = 100, range = hi - lo + 1;
    return static_cast<int>((randValue * range) / 32768.0) + lo;
}

Lion::~Lion() { delete birthTime; }

Lion::Lion(const char* fileName, bool leaderAtBirth) {
    SetUp(kLionKind, fileName, true);
    if (leaderAtBirth) MakeLeader();
}

void Lion::MakeLeader() {
    bornLeader = true;
    isLeader = true;
    engine->textureCache->Load(kLeaderImage);
    if (TextureRecord* record = engine->textureCache->Find(kLeaderImage)) {
        texture = record->texture;
        width = static_cast<int>(record->info.Width);
        height = static_cast<int>(record->info.Height);
    }
}

void Lion::SetGrouped(bool on) {
    grouped = on;
    if (on) return;
    isLeader = false;
    prideFull = false;
    prideSize = 0;
}

void Lion::Update() {
    if (bornLeader || (!prideFull && grouped)) {
        for (Lion* other : EntitiesOf<Lion>(kLionKind)) {
            if (Distance(position->x, position->y, other->position->x, other->position->y) <
                kRecruit) {
                if (!other->IsLeader()) {
                    other->SetLeader(this);
                    // A born leader counts for ever: held at the top, never wrapped.
                    if (prideSize < INT32_MAX) prideSize += 1;
                }
                if (prideSize == kFullPride) prideFull = true;
            }
        }
    }
    // A grouped lion that is not full has just recruited itself, so `leader`
    // is set here; the check only guards against a lion that never walked.
    if (!bornLeader && grouped && leader) target = leader->GetTarget();
    if (!target || reachedTarget) {
        const int n = CountOf(kGiraffeKind);
        if (n == 0) return;  // nothing to hunt: stand still
        const int k = Rand() % n + 1;
        int seen = 0;
        for (Giraffe* g : EntitiesOf<Giraffe>(kGiraffeKind)) {
            if (++seen < k) continue;
            target = g;
            break;
        }
        aimCounter = kAimAtNewTarget;
        reachedTarget = false;
    }
    if (aimCounter >= kAimEvery) {
        AimHeading(target->position->x - position->x, -(target->position->y - position->y),
                   &heading);
        aimCounter = 0;
    }
    if (Distance(position->x, position->y, target->position->x, target->position->y) < kCatch) {
        engine->registry->Remove(static_cast<BaseEntity*>(target));
        reachedTarget = true;
    }
    aimCounter = aimCounter + 1;
    const int wobble = Rand() % 180 - 90;
    SetDirection(static_cast<float>(heading + wobble), kSpeed);
    BaseSprite::Update();
}

void Lion::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Lion");
    record->Set("heading", static_cast<int>(heading));
    record->Set("bornLeader", bornLeader);
    record->Set("isLeader", isLeader);
    record->Set("grouped", grouped);
    record->Set("prideFull", prideFull);
    record->Set("prideSize", static_cast<int>(prideSize));
    const char* none = nullptr;
    if (target)
        record->Set("target", static_cast<int>(target->id));
    else
        record->Set("target", none);
    if (leader)
        record->Set("leader", static_cast<int>(leader->id));
    else
        record->Set("leader", none);
}
