// The smallest Velmor game: one level, a smiley that the arrow keys move
// and a line of text.
#include "app/run.h"            // RunGame: the whole program
#include "engine/base_level.h"  // BaseLevel: Init, Update, Shutdown
#include "engine/engine.h"      // the global `engine`: input, sound, registry
#include "engine/input_system.h"
#include "entities/base_sprite.h"
#include "entities/bitmap_text.h"
#include "levels/level_table.h"  // LevelInfo, GameInfo

namespace {

constexpr float kStep = 4.0f;  // pixels a frame; the game runs at 60 frames a second

class HelloLevel : public BaseLevel {
  public:
    // Makes the level's entities. Each one registers itself with the engine,
    // which then updates and draws it every frame and frees it when the
    // level ends.
    void Init() override {
        smiley = new BaseSprite("smiley.bmp");
        smiley->SetPosition(480, 352);
        BitmapText* text = new BitmapText("smallfont.bmp", 8, 12);
        text->SetPosition(16, 16);
        text->SetText("Hello, Velmor! The arrow keys move the smiley.");
    }

    // The level's own logic, once a frame before the entities' updates.
    void Update() override {
        InputSystem* input = engine->input;
        Vector3* at = smiley->GetPosition();  // the top left corner, in pixels
        // The screen is 1024 x 768 pixels, whatever the window's size.
        if (input->KeyDown(DIK_LEFT) && at->x > 0) at->x -= kStep;
        if (input->KeyDown(DIK_RIGHT) && at->x < 1024 - smiley->GetWidth()) at->x += kStep;
        if (input->KeyDown(DIK_UP) && at->y > 0) at->y -= kStep;
        if (input->KeyDown(DIK_DOWN) && at->y < 768 - smiley->GetHeight()) at->y += kStep;
    }

  private:
    BaseSprite* smiley = nullptr;
};

// The files the level opens. The game plays from the first folder that
// holds any of them: --assets, else the working folder, else the game's
// content folders.
constexpr const char* kHelloFiles[] = {"smiley.bmp", "smallfont.bmp"};

constexpr LevelInfo kLevels[] = {
    {"hello", []() -> BaseLevel* { return new HelloLevel(); }, kHelloFiles,
     "a smiley to move around", "the arrow keys move the smiley"},
};

// HELLO_CONTENT is the build's content folder (see CMakeLists.txt).
constexpr const char* kContentFolders[] = {HELLO_CONTENT};

constexpr GameInfo kHello = {.name = "hello",
                             .version = "1.0",
                             .levels = kLevels,
                             .contentFolders = kContentFolders,
                             .caption = "Hello, Velmor"};

}  // namespace

int main(int argc, char** argv) { return RunGame(argc, argv, kHello); }
