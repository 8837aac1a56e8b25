#include "game/savanna_level.h"

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/random.h"
#include "engine/engine.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"
#include "engine/input_system.h"
#include "entities/bitmap_text.h"
#include "game/giraffe.h"
#include "game/grass_node.h"
#include "game/lion.h"
#include "platform/core/clock.h"
#include "platform/core/dinput.h"

namespace {

constexpr const char* kFont = "smallfont.bmp";

BitmapText* MakeLine(float x, float y, const char* text) {
    auto* line = new BitmapText(kFont, 8, 12);
    line->SetPosition(x, y);
    line->SetText(text);
    return line;
}

// "<label> <count>" into a line buffer. A count too long for the line is cut
// (the label stays), never an error.
void FormatCount(char (&buffer)[SavannaLevel::kLineSize], const char* format, int count) {
    if (std::snprintf(buffer, sizeof buffer, format, count) < 0) buffer[0] = '\0';
}

// Draws y first, then x: a whole-pixel spot on the 1024 x 768 screen.
void PlaceAtRandom(BaseSprite* sprite) {
    const int y0 = Rand() % 768;
    const int x0 = Rand() % 1024;
    sprite->SetPosition(static_cast<float>(x0), static_cast<float>(y0));
}

}  // namespace

void SavannaLevel::Init() {
    engine->registry->TrackRemoved(kGiraffeKind);
    engine->registry->TrackRemoved(kLionKind);
    Srand(static_cast<std::uint32_t>(Time()));
    for (int i = 0; i < kGrassCount; ++i) {
        grass[i] = new GrassNode("grass.bmp");
        PlaceAtRandom(grass[i]);
        grass[i]->SetId(i);
    }
    for (int i = 0; i < kGiraffeCount; ++i) {
        lastGiraffe = new Giraffe("giraffe.bmp");
        PlaceAtRandom(lastGiraffe);
    }
    giraffeText = MakeLine(10, 10, "Number G");
    lionText = MakeLine(10, 30, "Number L");
    menuText = MakeLine(10, 50, "1: Add Giraffes");
    menuText = MakeLine(10, 70, "2: Add Lions");
    menuText = MakeLine(10, 90, "3: Delete Giraffes");
    menuText = MakeLine(10, 110, "4: Delete Lions");
    menuText = MakeLine(10, 130, "5: Ungroup Lions");
    menuText = MakeLine(10, 150, "6: Group Lions");
}

void SavannaLevel::AddGiraffes() {
    // Seeded with the calendar second: batches within one second share spots.
    Srand(static_cast<std::uint32_t>(Time()));
    for (int i = 0; i < 10; ++i) {
        lastGiraffe = new Giraffe("giraffe.bmp");
        PlaceAtRandom(lastGiraffe);
    }
}

void SavannaLevel::AddLion() {
    Srand(static_cast<std::uint32_t>(Time()));
    // The lion re-seeds from the clock's milliseconds before its place is drawn.
    lastLion = new Lion("lion.bmp");
    PlaceAtRandom(lastLion);
}

void SavannaLevel::Update() {
    // Between two frames: no walk is under way, so spent animals can go.
    ReclaimSpent();
    FormatCount(giraffeTextBuffer, "Giraffes %d", CountOf(kGiraffeKind));
    giraffeText->SetText(giraffeTextBuffer);
    FormatCount(lionTextBuffer, "Lions %d", CountOf(kLionKind));
    lionText->SetText(lionTextBuffer);

    // Every command repeats on each update while its key is held; additions
    // run before deletions, ungrouping before grouping.
    InputSystem* input = engine->input;
    if (input->KeyDown(DIK_1)) AddGiraffes();
    if (input->KeyDown(DIK_2)) AddLion();
    if (input->KeyDown(DIK_5))
        for (Lion* l : EntitiesOf<Lion>(kLionKind)) l->SetGrouped(false);
    if (input->KeyDown(DIK_6))
        for (Lion* l : EntitiesOf<Lion>(kLionKind)) l->SetGrouped(true);
    if (input->KeyDown(DIK_3)) engine->registry->RemoveAll(kGiraffeKind);
    if (input->KeyDown(DIK_4)) engine->registry->RemoveAll(kLionKind);
}

void SavannaLevel::ReclaimSpent() {
    // A lion in play reads its target, its leader and its leader's target,
    // whether or not these are still in play: those stay while it names them.
    std::vector<const BaseEntity*> named = {lastGiraffe, lastLion};
    for (const Lion* lion : ValuesOf<Lion>(kLionKind)) {
        named.push_back(lion->target);
        if (lion->leader) {
            named.push_back(lion->leader);
            named.push_back(lion->leader->target);
        }
    }
    reclaimed += engine->FreeRemovedExcept(std::move(named));
}
