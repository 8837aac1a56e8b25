#include "levels/level_table.h"

#include "levels/breakout_level.h"
#include "levels/savanna_level.h"
#include "levels/shooter_level.h"
#include "levels/sprite_level.h"
#include "levels/tiger_level.h"

namespace {

template <class Level>
BaseLevel* Make() {
    return new Level();
}

constexpr const char* kSpriteFiles[] = {"background.bmp", "crosshair.bmp", "bunny.bmp",
                                        "flower.bmp", "magnum.wav"};
constexpr const char* kSavannaFiles[] = {"grass.bmp", "giraffe.bmp", "lion.bmp", "lionleader.bmp",
                                         "smallfont.bmp"};
constexpr const char* kShooterFiles[] = {"player.bmp", "enemy.bmp", "bullet.bmp", "smallfont.bmp"};
// tiger.bmp is the texture that tiger.x names.
constexpr const char* kTigerFiles[] = {"groundtiles.bmp", "tiger.x", "tiger.bmp", "smallfont.bmp"};
constexpr const char* kBreakoutFiles[] = {"brick.bmp",     "paddle.bmp",    "ball.bmp",
                                          "smallfont.bmp", "paddlehit.wav", "brickhit.wav",
                                          "lostball.wav"};

constexpr LevelInfo kLevels[] = {
    {"sprite", Make<SpriteLevel>, kSpriteFiles,
     "the shooting gallery: bunnies hop across a meadow of swaying flowers",
     "mouse to aim, left button to shoot", "thumb_sprite.bmp"},
    {"savanna", Make<SavannaLevel>, kSavannaFiles,
     "giraffes head for grass patches while lions hunt them",
     "1 adds ten giraffes, 2 adds a lion, 3 deletes every giraffe, 4 deletes every lion, "
     "5 ungroups the lions, 6 groups them (each repeats every frame while its key is held)",
     "thumb_savanna.bmp"},
    {"shooter", Make<ShooterLevel>, kShooterFiles,
     "a vertical shooter: enemies fall and fire for the first 30 seconds",
     "arrow keys to move (the ship moves 10 pixels a frame and stays on the screen), space to "
     "fire (held: a shot every 7 frames), Z for slow motion",
     "thumb_shooter.bmp"},
    {"tiger", Make<TigerLevel>, kTigerFiles, "two textured tigers over a scrolling ground",
     "arrow keys steer the first tiger", "thumb_tiger.bmp"},
    {"breakout", Make<BreakoutLevel>, kBreakoutFiles,
     "knock out a wall of 60 bricks with three balls",
     "Left and Right arrows move the paddle, Space launches the ball or starts a new game",
     "thumb_breakout.bmp"},
};

constexpr const char* kMenuFiles[] = {"title.bmp", "pointer.bmp", "menuframe.bmp", "smallfont.bmp"};

}  // namespace

std::span<const LevelInfo> Levels() { return kLevels; }

std::span<const char* const> MenuFiles() { return kMenuFiles; }

const LevelInfo* FindLevel(std::string_view name) {
    for (const LevelInfo& level : kLevels)
        if (name == level.name) return &level;
    return nullptr;
}

BaseLevel* CreateLevel(const std::string& name) {
    const LevelInfo* level = FindLevel(name);
    return level ? level->make() : nullptr;
}
