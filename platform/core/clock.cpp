#include "platform/core/clock.h"

#include <ctime>

#include "platform/core/internal.h"

namespace {

bool virtualClock = false;
std::int64_t virtualStart = platform::kDefaultClockStart;
std::int64_t presented = 0;
bool scripted = false;
platform::ClockReading scriptedReading;
bool held = false;
platform::ClockReading heldReading;

// The clock as it runs, ignoring a held reading.
platform::ClockReading Running() {
    if (scripted) return scriptedReading;
    if (virtualClock) return platform::VirtualReading(virtualStart, presented);
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return {ts.tv_sec, static_cast<int>(ts.tv_nsec / 1000000)};
}

void Fill(SYSTEMTIME* st, std::int64_t seconds, int millis) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    st->wYear = static_cast<WORD>(tm.tm_year + 1900);
    st->wMonth = static_cast<WORD>(tm.tm_mon + 1);
    st->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    st->wDay = static_cast<WORD>(tm.tm_mday);
    st->wHour = static_cast<WORD>(tm.tm_hour);
    st->wMinute = static_cast<WORD>(tm.tm_min);
    st->wSecond = static_cast<WORD>(tm.tm_sec);
    st->wMilliseconds = static_cast<WORD>(millis);
}

}  // namespace

std::int64_t Time() { return platform::ReadClock().seconds; }

void GetSystemTime(SYSTEMTIME* st) {
    if (!st) return;
    const platform::ClockReading r = platform::ReadClock();
    Fill(st, r.seconds, r.millis);
}

namespace platform {

void UseVirtualClock(std::int64_t start) {
    virtualClock = true;
    virtualStart = start;
    presented = 0;
    scripted = held = false;
}

void UseRealClock() { virtualClock = scripted = held = false; }

ClockReading ReadClock() { return held ? heldReading : Running(); }

ClockReading VirtualReading(std::int64_t start, std::int64_t frames) {
    return {start + frames / 60, static_cast<int>((frames % 60) * 1000 / 60)};
}

void SetScriptedClock(ClockReading reading) {
    scripted = true;
    scriptedReading = reading;
}

ClockReading LatchClock() {
    held = true;
    heldReading = Running();
    return heldReading;
}

void ReleaseClock() { held = false; }
std::int64_t PresentedFrames() { return presented; }
void CountPresentedFrame() { ++presented; }

}  // namespace platform

namespace platform::detail {
void SetPresentedFrames(std::int64_t frames) { presented = frames; }
}  // namespace platform::detail
