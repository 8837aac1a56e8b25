#include "game/velmor_levels.h"

#include "game/breakout_level.h"
#include "game/savanna_level.h"
#include "game/shooter_level.h"
#include "game/sprite_level.h"
#include "game/tiger_level.h"

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

// Installed, the content is in P/share/velmor beside P/bin; in a build, in the
// folder the build wrote it to.
constexpr const char* kContentFolders[] = {VELMOR_CONTENT_FROM_BIN, VELMOR_CONTENT_DIR};

constexpr GameInfo kVelmor = {.name = "velmor",
                              .version = VELMOR_VERSION,
                              .levels = kLevels,
                              .contentFolders = kContentFolders,
                              .caption = "Velmor Engine",
                              .titlePicture = "title.bmp"};

}  // namespace

const GameInfo& VelmorGame() { return kVelmor; }
