// A hunting lion: picks a registered giraffe at random, runs at it twice as
// fast as a giraffe walks, re-aims every 25 steps and takes the giraffe out of
// the registry when it comes within 10 pixels. About one lion in five is born
// a leader; leaders, and every lion in group mode, recruit the lions around
// them, and a grouped follower hunts its leader's target.
#pragma once

#include <cstdint>

#include "entities/base_sprite.h"

class Giraffe;
struct SYSTEMTIME;

class Lion : public BaseSprite {
  public:
    // Only the sprite part: no kind, no registration, no image.
    Lion() {}
    // A registered lion. Re-seeds the process-wide generator from the clock's
    // milliseconds and rolls for leadership (a leader shows "lionleader.bmp").
    explicit Lion(const char* fileName);
    // A registered lion that is a leader or not as asked; no clock, no roll.
    Lion(const char* fileName, bool leader);
    ~Lion() override;

    void Update() override;
    void Dump(DumpRecord* record) override;

    // The leadership roll, 1 to 100, that one draw of the generator gives;
    // above 80 the lion is born a leader.
    static int LeaderRoll(int randValue);

    Giraffe* GetTarget() const { return target; }
    bool IsLeader() const { return isLeader; }
    void SetLeader(Lion* newLeader) { leader = newLeader; }
    // On: group mode on, nothing else changes. Off: group mode, leadership
    // and the pride are cleared; the born-leader mark, leader and target stay.
    void SetGrouped(bool on);

    std::int32_t heading = 180;
    std::int32_t aimCounter = 0;
    std::int32_t prideSize = 1;
    bool reachedTarget = false;
    bool grouped = false;
    bool isLeader = false;
    bool bornLeader = false;
    bool prideFull = false;
    SYSTEMTIME* birthTime = nullptr;
    Giraffe* target = nullptr;
    Lion* leader = nullptr;

  private:
    void MakeLeader();
};
