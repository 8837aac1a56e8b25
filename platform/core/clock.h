// Wall clock as the game reads it: calendar seconds and the system time with
// milliseconds. Real in a window; virtual under --headless, where it advances
// by 1/60 s with every presented frame so runs are reproducible.
#pragma once

#include <cstdint>

#include "platform/core/types.h"

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

// Calendar seconds since 1970 (the standard library's time()).
std::int64_t Time();
void GetSystemTime(SYSTEMTIME* st);

namespace platform {

constexpr std::int64_t kDefaultClockStart = 1700000000;

// Switches the clock to virtual time starting at `start` with no frame presented.
void UseVirtualClock(std::int64_t start);
void UseRealClock();

// Presented-frame count p that drives the virtual clock.
std::int64_t PresentedFrames();
// Called by the device after each presented frame.
void CountPresentedFrame();

}  // namespace platform
