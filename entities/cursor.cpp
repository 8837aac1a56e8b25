#include "entities/cursor.h"

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"
#include "engine/input_system.h"
#include "entities/bunny.h"
#include "platform/core/clock.h"
#include "sound/sound.h"
#include "sound/sound_device.h"
#include "sound/sound_system.h"

Cursor::Cursor(const char* fileName) {
    SetUp(kSpriteKind, fileName, true);
    fireTime = new SYSTEMTIME{};
    rearmTime = new SYSTEMTIME{};
    if (engine->sound->device)
        engine->sound->device->CreateSound(&sound, "magnum.wav", 0, GUID_NULL, 1);
}

Cursor::~Cursor() {
    delete sound;
    delete fireTime;
    delete rearmTime;
}

void Cursor::Update() {
    const DIMOUSESTATE mouse = engine->input->GetMouseState();
    const float y = static_cast<float>(mouse.lY) + position->y;
    const float x = static_cast<float>(mouse.lX) + position->x;
    SetPosition(x, y);
    if (mouse.rgbButtons[0] == 0) return;

    GetSystemTime(fireTime);
    // Only the millisecond fields are compared: a shot still playing restarts
    // when this reading passes the previous button-down reading plus 10.
    if (sound) {
        if (sound->IsPlaying() && fireTime->wMilliseconds > rearmTime->wMilliseconds) {
            sound->Stop();
            sound->Reset();
            sound->Play(0, 0, 0, -1, 0);
        } else {
            sound->Play(0, 0, 0, -1, 0);
        }
    }
    GetSystemTime(rearmTime);
    rearmTime->wMilliseconds = static_cast<WORD>(rearmTime->wMilliseconds + 10);

    for (Bunny* bunny : EntitiesOf<Bunny>(kBunnyKind)) bunny->HitTest(position);
}

void Cursor::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Cursor");
}
