#include "entities/base_sprite.h"

#include <cmath>
#include <cstdint>

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/renderer.h"
#include "engine/texture_cache.h"

BaseSprite::BaseSprite() : position(new Vector3(0, 0, 0)), velocity(new Vector3(0, 0, 0)) {}

BaseSprite::~BaseSprite() {
    delete position;
    delete velocity;
}

BaseSprite::BaseSprite(const char* fileName) : BaseSprite() { SetUp(kSpriteKind, fileName, true); }

void BaseSprite::SetUp(std::int32_t spriteKind, const char* fileName, bool copySize) {
    kind = spriteKind;
    Register();
    engine->textureCache->Load(fileName);
    if (TextureRecord* record = engine->textureCache->Find(fileName)) {
        texture = record->texture;
        if (copySize) {
            width = static_cast<int>(record->info.Width);
            height = static_cast<int>(record->info.Height);
        }
    }
}

void BaseSprite::Update() {
    position->x = position->x + velocity->x * velocity->z;
    position->y = position->y - velocity->y * velocity->z;
}

void BaseSprite::Render() {
    ID3DXSprite* batch = engine->renderer->sprite;
    if (!batch || !texture) return;  // no device or no image: nothing to draw
    batch->Begin(D3DXSPRITE_ALPHABLEND);
    const D3DXVECTOR3 at(position->x, position->y, position->z);
    batch->Draw(texture, nullptr, nullptr, &at, 0xFFFFFFFF);
    batch->End();
}

void BaseSprite::Dump(DumpRecord* record) {
    BaseEntity::Dump(record);
    record->Set("class", "BaseSprite");
    record->Set("x", position->x);
    record->Set("y", position->y);
}

void BaseSprite::SetPosition(float x, float y) {
    position->x = x;
    position->y = y;
}

void BaseSprite::SetDirection(float angle, float speed) {
    const float radians = static_cast<float>(angle * 0.01745329238474369);
    velocity->x = std::cos(radians);
    velocity->y = std::sin(radians);
    velocity->z = speed;
}

namespace {
// Truncation toward zero; values beyond the int range (or NaN) are held at
// its ends instead of being undefined.
int Truncate(float v) {
    if (!(v > -2147483648.0f)) return v != v ? 0 : INT32_MIN;
    if (!(v < 2147483648.0f)) return INT32_MAX;
    return static_cast<int>(v);
}
}  // namespace

bool Collides(const BaseSprite* a, const BaseSprite* b) {
    struct Box {
        int left, right, top, bottom;
    };
    auto box = [](const BaseSprite* s) {
        const Vector3* p = s->position;
        return Box{Truncate(p->x), Truncate(static_cast<float>(s->width) + p->x), Truncate(p->y),
                   Truncate(static_cast<float>(s->height) + p->y)};
    };
    const Box ra = box(a), rb = box(b);
    if (ra.bottom < rb.top) return false;
    if (ra.top > rb.bottom) return false;
    if (ra.right < rb.left) return false;
    if (ra.left > rb.right) return false;
    return true;
}
