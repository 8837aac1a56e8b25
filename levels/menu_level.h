/// @file
/// The title menu: the game's title and every level of its table with its
/// picture, description and controls. Arrow keys or the mouse choose, Enter,
/// Space or a click starts the level (once let go); a level ended with Escape
/// comes back here, and a fresh copy of it starts the next time.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/base_level.h"
#include "levels/level_table.h"

class BaseSprite;

class MenuLevel : public BaseLevel {
  public:
    explicit MenuLevel(const GameInfo& game) : game_(game) {}
    void Init() override;
    void Update() override;
    /// Shows the menu, plays each level chosen, and comes back after it,
    /// until the window is closed.
    void Run() override;

    int selected = 0;  ///< index into the table of levels
    /// What the last frame saw of the keys and the button the menu reads;
    /// a key held when the menu comes up acts only once it is let go.
    std::vector<bool> wasDown;

  private:
    int RowAt(float x, float y) const;
    void Choose(int row);

    const GameInfo& game_;
    BaseSprite* frame_ = nullptr;
    BaseSprite* pointer_ = nullptr;
    float pointerX_ = 512.0f;
    float pointerY_ = 384.0f;
    const LevelInfo* chosen_ = nullptr;
    std::deque<std::string> lines_;  ///< the texts' buffers (they keep pointers)
};
