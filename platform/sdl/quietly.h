// Runs a call with standard error sent to /dev/null: while they probe, the
// libraries under SDL (display and sound back-ends) print lines of their
// own, and the user is told what matters in one line of ours. Only the game
// thread runs while a driver starts.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace platform::sdl {

template <typename F>
auto Quietly(F f) {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    auto result = f();
    std::fflush(stderr);
    if (saved >= 0) {
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    if (null >= 0) close(null);
    return result;
}

}  // namespace platform::sdl
