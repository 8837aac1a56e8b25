/// @file
/// What stands between the player and the level being played: it sees each
/// frame first and may hold the level still (a pause) or end it, and it draws
/// over the finished scene.
#pragma once

class BaseLevel;

class LevelHost {
  public:
    virtual ~LevelHost() = default;
    /// Called once a frame after the messages are pumped, before the level's
    /// update. Returns whether the level and its entities update this frame;
    /// it may end the level by clearing its `running`.
    virtual bool BeginFrame(BaseLevel* level) = 0;
    /// Draws over the scene, after every entity.
    virtual void DrawOver() = 0;
};
