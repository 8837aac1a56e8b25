#include "platform/core/clock.h"

#include <ctime>

#include "platform/core/context.h"

namespace {

struct ClockState {
    bool virtualClock = false;
    std::int64_t virtualStart = platform::kDefaultClockStart;
    bool scripted = false;
    platform::ClockReading scriptedReading;
    bool held = false;
    platform::ClockReading heldReading;
    // A paused clock stands where it was paused; the time it stood still,
    // counted in frames for the virtual clock and in milliseconds for the
    // real one, is left out of every later reading.
    bool paused = false;
    std::int64_t pausedAtFrame = 0;
    std::int64_t pausedAtMs = 0;
    std::int64_t stoodFrames = 0;
    std::int64_t stoodMs = 0;
};

ClockState& State() { return platform::detail::Ctx().clock.Get<ClockState>(); }
std::int64_t& Presented() { return platform::detail::Ctx().presentedFrames; }

std::int64_t RealMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}

// The clock as it runs, ignoring a held reading.
platform::ClockReading Running() {
    const ClockState& c = State();
    if (c.scripted) return c.scriptedReading;
    if (c.virtualClock)
        return platform::VirtualReading(c.virtualStart,
                                        (c.paused ? c.pausedAtFrame : Presented()) - c.stoodFrames);
    const std::int64_t ms = (c.paused ? c.pausedAtMs : RealMs()) - c.stoodMs;
    return {ms / 1000, static_cast<int>(ms % 1000)};
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
    ClockState& c = State();
    c.virtualClock = true;
    c.virtualStart = start;
    Presented() = 0;
    c.scripted = c.held = c.paused = false;
    c.stoodFrames = c.stoodMs = 0;
}

void UseRealClock() {
    ClockState& c = State();
    c.virtualClock = c.scripted = c.held = c.paused = false;
    c.stoodFrames = c.stoodMs = 0;
}

void PauseClock(bool paused) {
    ClockState& c = State();
    if (paused == c.paused) return;
    c.paused = paused;
    if (paused) {
        c.pausedAtFrame = Presented();
        c.pausedAtMs = RealMs();
    } else {
        c.stoodFrames += Presented() - c.pausedAtFrame;
        c.stoodMs += RealMs() - c.pausedAtMs;
    }
}

ClockReading ReadClock() { return State().held ? State().heldReading : Running(); }

ClockReading VirtualReading(std::int64_t start, std::int64_t frames) {
    return {start + frames / 60, static_cast<int>((frames % 60) * 1000 / 60)};
}

void SetScriptedClock(ClockReading reading) {
    State().scripted = true;
    State().scriptedReading = reading;
}

ClockReading LatchClock() {
    const ClockReading now = Running();
    State().held = true;
    State().heldReading = now;
    return now;
}

void ReleaseClock() { State().held = false; }
std::int64_t PresentedFrames() { return Presented(); }
void CountPresentedFrame() { ++Presented(); }

}  // namespace platform
