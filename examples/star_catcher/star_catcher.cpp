// Star catcher: stars fall from the night sky and the arrow keys move a
// basket along the ground to catch them. A star caught scores 10, a star
// missed costs one of five lives. The hard level drops faster stars, and
// rocks too: a rock in the basket costs a life.
#include <algorithm>
#include <cstdio>

#include "app/run.h"
#include "base/random.h"  // Rand: the engine's own, the same numbers every run
#include "engine/base_level.h"
#include "engine/dump_record.h"
#include "engine/engine.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"  // EntitiesOf: walk the entities of one kind
#include "engine/input_system.h"
#include "entities/base_sprite.h"
#include "entities/bitmap_text.h"
#include "levels/level_table.h"
#include "sound/sound.h"
#include "sound/sound_device.h"
#include "sound/sound_system.h"

namespace {

// The game's own entity kinds. They number from kFirstGameKind, above the
// engine's; the registry keeps entities by kind and dumps print it.
enum GameKind : std::int32_t { kBasketKind = kFirstGameKind, kStarKind, kRockKind };

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kLives = 5;

// The player's basket: the arrow keys move it along the ground. It keeps the
// score and the lives left, so the entity dump shows them.
class Basket : public BaseSprite {
  public:
    Basket() {
        SetUp(kBasketKind, "basket.bmp", true);  // registers, loads the image
        SetPosition(static_cast<float>(kScreenWidth - width) / 2, 700);  // centred
    }
    void Update() override {
        if (engine->input->KeyDown(DIK_LEFT)) position->x -= 12;
        if (engine->input->KeyDown(DIK_RIGHT)) position->x += 12;
        position->x = std::clamp(position->x, 0.0f, static_cast<float>(kScreenWidth - width));
    }
    // Every --dump line lists each entity's fields; the basket adds its own.
    void Dump(DumpRecord* record) override {
        BaseSprite::Dump(record);
        record->Set("class", "Basket");
        record->Set("score", score);
        record->Set("lives", lives);
    }
    int score = 0;
    int lives = kLives;
};

// A star or a rock, falling straight down at its own speed.
class Drop : public BaseSprite {
  public:
    Drop(GameKind dropKind, const char* fileName, float x, float speed_) : speed(speed_) {
        SetUp(dropKind, fileName, true);
        SetPosition(x, -static_cast<float>(height));  // just above the screen
    }
    void Update() override { position->y += speed; }
    void Dump(DumpRecord* record) override {
        BaseSprite::Dump(record);
        record->Set("class", kind == kRockKind ? "Rock" : "Star");
        record->Set("speed", speed);
    }
    float speed;
};

// What makes a level easy or hard.
struct Rules {
    int framesPerDrop;  // a new star (or rock) every so many frames
    float speed;        // pixels a frame, plus up to 2 more at random
    int rockEvery;      // every nth drop is a rock; 0: no rocks
};
constexpr Rules kEasy = {45, 4.0f, 0};
constexpr Rules kHard = {28, 6.0f, 3};

// A sound from the content folder; null without a sound device or the file.
CSound* LoadSound(const char* fileName) {
    CSound* sound = nullptr;
    if (engine->sound->device)
        engine->sound->device->CreateSound(&sound, fileName, 0, GUID_NULL, 1);
    return sound;
}

// Plays a sound from its start, even when it is still playing.
void Play(CSound* sound) {
    if (!sound) return;
    sound->Stop();
    sound->Reset();
    sound->Play(0, 0, 0, -1, 0);
}

class CatchLevel : public BaseLevel {
  public:
    explicit CatchLevel(const Rules& rules_) : rules(rules_) {}

    void Init() override {
        // Stars and rocks leave play all the time: the registry remembers
        // the removed ones so that Update can free them.
        engine->registry->TrackRemoved(kStarKind);
        engine->registry->TrackRemoved(kRockKind);
        new BaseSprite("sky.bmp");  // made first, so drawn first: the background
        basket = new Basket();
        BitmapText* scoreText = new BitmapText("smallfont.bmp", 8, 12);
        scoreText->SetPosition(16, 16);
        scoreText->SetText(scoreLine);  // shows the buffer as it is at each frame
        messageText = new BitmapText("smallfont.bmp", 8, 12);
        messageText->SetText(message);
        catchSound = LoadSound("catch.wav");
        missSound = LoadSound("miss.wav");
        crashSound = LoadSound("crash.wav");
    }

    void Update() override {
        // Between two frames no walk is under way: free what left play.
        engine->FreeRemovedExcept({});
        if (basket->lives == 0) {  // game over: Space plays again
            if (engine->input->KeyDown(DIK_SPACE)) {
                basket->score = 0;
                basket->lives = kLives;
                message[0] = '\0';
            }
            return;
        }
        if (++frame % rules.framesPerDrop == 0) DropOne();
        // The registry walk: every star in play, then every rock.
        for (Drop* star : EntitiesOf<Drop>(kStarKind)) {
            const bool caught = Collides(star, basket);
            if (!caught && star->position->y < kScreenHeight) continue;
            engine->registry->Remove(static_cast<BaseEntity*>(star));
            if (caught) {
                basket->score += 10;
                Play(catchSound);
            } else {
                LoseLife(missSound);
            }
        }
        for (Drop* rock : EntitiesOf<Drop>(kRockKind)) {
            const bool caught = Collides(rock, basket);
            if (!caught && rock->position->y < kScreenHeight) continue;
            engine->registry->Remove(static_cast<BaseEntity*>(rock));
            if (caught) LoseLife(crashSound);
        }
        std::snprintf(scoreLine, sizeof scoreLine, "SCORE %d   LIVES %d", basket->score,
                      basket->lives);
    }

    // What is not an entity is the level's to free: its sounds.
    void Shutdown() override {
        for (CSound* sound : {catchSound, missSound, crashSound}) delete sound;
    }

  private:
    void DropOne() {
        const float x = static_cast<float>(Rand() % (kScreenWidth - 40));
        const float speed = rules.speed + static_cast<float>(Rand() % 3);
        const bool rock = rules.rockEvery > 0 && ++drops % rules.rockEvery == 0;
        new Drop(rock ? kRockKind : kStarKind, rock ? "rock.bmp" : "star.bmp", x, speed);
    }

    void LoseLife(CSound* sound) {
        Play(sound);
        if (--basket->lives > 0) return;
        // Game over: whatever still falls leaves play.
        engine->registry->RemoveAll(kStarKind);
        engine->registry->RemoveAll(kRockKind);
        const int length = std::snprintf(message, sizeof message,
                                         "GAME OVER - SCORE %d - SPACE PLAYS AGAIN", basket->score);
        // Centred: every glyph is 8 pixels wide.
        messageText->SetPosition(static_cast<float>(kScreenWidth - length * 8) / 2, 360);
    }

    Rules rules;
    Basket* basket = nullptr;
    BitmapText* messageText = nullptr;
    CSound* catchSound = nullptr;  // null when it could not be loaded: silent
    CSound* missSound = nullptr;
    CSound* crashSound = nullptr;
    int frame = 0;
    int drops = 0;
    char scoreLine[40] = "";
    char message[64] = "";
};

// The files each level opens: the game plays from the first folder that
// holds any of them (--assets, the working folder, the content folders).
constexpr const char* kEasyFiles[] = {"sky.bmp",   "basket.bmp", "star.bmp",
                                      "catch.wav", "miss.wav",   "smallfont.bmp"};
constexpr const char* kHardFiles[] = {"sky.bmp",   "basket.bmp", "star.bmp",  "rock.bmp",
                                      "catch.wav", "miss.wav",   "crash.wav", "smallfont.bmp"};

constexpr const char* kControls = "Left and Right arrows move the basket, Space plays again";

// The table of levels: --level takes the names, --help and the menu show the
// rest, and the first is the one played when none is named.
constexpr LevelInfo kLevels[] = {
    {"easy", []() -> BaseLevel* { return new CatchLevel(kEasy); }, kEasyFiles,
     "catch the falling stars in your basket", kControls, "thumb_easy.bmp"},
    {"hard", []() -> BaseLevel* { return new CatchLevel(kHard); }, kHardFiles,
     "faster stars, and rocks to keep out of the basket", kControls, "thumb_hard.bmp"},
};

// Installed, the content sits in ../share/star_catcher beside the program's
// bin folder; in the build, in the folder CMakeLists.txt names.
constexpr const char* kContentFolders[] = {"../share/star_catcher", STAR_CATCHER_CONTENT};

constexpr GameInfo kStarCatcher = {.name = "star_catcher",
                                   .version = "1.0",
                                   .levels = kLevels,
                                   .contentFolders = kContentFolders,
                                   .caption = "Star Catcher"};

}  // namespace

int main(int argc, char** argv) { return RunGame(argc, argv, kStarCatcher); }
