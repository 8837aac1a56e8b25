/// @file
/// What every run puts between the player and the level: P pauses and
/// resumes, F1 shows or hides the level's controls, and in a run started on
/// the menu Escape takes the player back to it (on the menu, Escape quits).
/// These keys never reach the level.
#pragma once

#include <string>
#include <vector>

#include "engine/level_host.h"

class IDirect3DTexture9;
struct LevelInfo;

class FrontEnd : public LevelHost {
  public:
    /// `menu`: levels are started from the menu, so Escape leaves a level
    /// instead of closing the window. Reserves P and F1 from the levels.
    explicit FrontEnd(bool menu);
    ~FrontEnd() override;
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    bool BeginFrame(BaseLevel* level) override;
    void DrawOver() override;

    /// The level now played, whose controls F1 shows; null while the menu is
    /// up (P and F1 then do nothing). Play starts unpaused and without help.
    void Play(const LevelInfo* level);

    /// The front end the engine has, or null.
    static FrontEnd* Installed();

    bool paused = false;
    bool help = false;

  private:
    void SetPaused(bool pause);
    IDirect3DTexture9* Font();

    bool menu_;
    const LevelInfo* playing_ = nullptr;
    bool wasDown_[3] = {};  ///< P, F1, Escape as the last frame saw them
    bool fontLoaded_ = false;
    std::vector<std::string> helpLines_;
};

/// `text` broken between words into lines of at most `width` characters (a
/// longer word stands alone).
std::vector<std::string> WrapWords(const std::string& text, std::size_t width);
