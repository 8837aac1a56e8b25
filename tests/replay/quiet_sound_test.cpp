// A windowed start where no sound device opens: one line of ours on
// standard error, nothing from the sound library, and the game runs.
#include <gtest/gtest.h>

#include <string>

#include "support/run_process.h"

namespace {

TEST(QuietStart, NoSoundDeviceIsOneLineOfOurOwn) {
    if (Which("Xvfb").empty()) GTEST_SKIP() << "Xvfb is missing: not run";
    // ALSA with a device no machine has: the library complains at length.
    const auto r = RunProcess("/bin/bash",
                              {VELMOR_SOURCE_DIR "/tests/replay/xserver.sh", "/usr/bin/env",
                               "SDL_AUDIODRIVER=alsa", "AUDIODEV=velmor_no_such_device",
                               VELMOR_BINARY, "--frames", "30", "--screenshot", "30:/dev/null"},
                              {"XDG_RUNTIME_DIR"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.starts_with("velmor: no sound output: ") &&
                r.err.ends_with("; playing silently\n") && Count(r.err, "\n") == 1)
        << r.err;
}

}  // namespace
