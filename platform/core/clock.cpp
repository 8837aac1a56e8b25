#include "platform/core/clock.h"

#include "platform/core/internal.h"

#include <ctime>

namespace {

bool virtualClock = false;
std::int64_t virtualStart = platform::kDefaultClockStart;
std::int64_t presented = 0;

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

std::int64_t Time() {
    if (virtualClock) return virtualStart + presented / 60;
    return static_cast<std::int64_t>(std::time(nullptr));
}

void GetSystemTime(SYSTEMTIME* st) {
    if (!st) return;
    if (virtualClock) {
        Fill(st, virtualStart + presented / 60, static_cast<int>((presented % 60) * 1000 / 60));
        return;
    }
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    Fill(st, ts.tv_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

namespace platform {

void UseVirtualClock(std::int64_t start) {
    virtualClock = true;
    virtualStart = start;
    presented = 0;
}

void UseRealClock() { virtualClock = false; }
std::int64_t PresentedFrames() { return presented; }
void CountPresentedFrame() { ++presented; }

}  // namespace platform

namespace platform::detail {
void SetPresentedFrames(std::int64_t frames) { presented = frames; }
}  // namespace platform::detail
