/// @file
/// Wall clock as the game reads it: calendar seconds and the system time with
/// milliseconds. Real in a window; virtual under `--headless`, where it advances
/// by 1/60 s with every presented frame so runs are reproducible.
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

/// Calendar seconds since 1970 (the standard library's time()).
std::int64_t Time();
void GetSystemTime(SYSTEMTIME* st);

namespace platform {

constexpr std::int64_t kDefaultClockStart = 1700000000;

/// Switches the clock to virtual time starting at `start` with no frame presented.
void UseVirtualClock(std::int64_t start);
void UseRealClock();

/// Pausing stops the clock where it stands; resuming lets it run on from
/// there, so the time it was paused never shows in a reading. A scripted
/// reading still wins.
void PauseClock(bool paused);

/// Presented-frame count p that drives the virtual clock.
std::int64_t PresentedFrames();
/// Called by the device after each presented frame.
void CountPresentedFrame();

/// One reading of the clock: calendar seconds and the milliseconds within.
struct ClockReading {
    std::int64_t seconds = 0;
    int millis = 0;
    bool operator==(const ClockReading&) const = default;
};

/// What Time and GetSystemTime return now.
ClockReading ReadClock();
/// What the virtual clock started at `start` reads after `presented` frames.
ClockReading VirtualReading(std::int64_t start, std::int64_t presented);
/// A script's clock event: from now on the clock reads `reading`, whichever
/// clock runs underneath, until the next such call or clock switch.
void SetScriptedClock(ClockReading reading);
/// Recording: takes one reading of the running clock and holds it, so that
/// every read until the next latch sees it; ReleaseClock lets it run again.
ClockReading LatchClock();
void ReleaseClock();

}  // namespace platform
