#include "app/platform_setup.h"

#include <cstdlib>
#include <cstring>

#include "platform/assimp/assimp_driver.h"
#include "platform/core/platform.h"
#include "platform/headless/headless_driver.h"
#include "platform/sdl/sdl_driver.h"

namespace {

struct VideoChoice {
    const platform::VideoDriver* video;
    const platform::AudioDriver* audio;
};

// The bootstrap table, by the names VELMOR_VIDEO takes.
const VideoChoice kChoices[] = {
    {&platform::sdl::kVideoDriver, &platform::sdl::kAudioDriver},
    {&platform::headless::kVideoDriver, nullptr},
};

}  // namespace

bool InstallDrivers(bool headless, std::string* error) {
    const char* forced = std::getenv("VELMOR_VIDEO");
    const char* name = headless ? "headless" : (forced && *forced ? forced : "sdl");
    for (const VideoChoice& c : kChoices)
        if (std::strcmp(c.video->name, name) == 0) {
            platform::InstallDrivers({.video = c.video,
                                      .audio = c.audio,
                                      .image = &platform::sdl::kImageCodec,
                                      .mesh = &platform::assimp::kMeshLoader});
            return true;
        }
    if (error) *error = std::string("VELMOR_VIDEO: no video driver '") + name + "' (sdl, headless)";
    return false;
}

bool StartPlatform(bool headless, std::int64_t clockStart, std::string* error,
                   bool drawEveryFrame) {
    if (!InstallDrivers(headless, error)) return false;
    platform::Config config;
    config.clockStart = clockStart;
    config.drawEveryFrame = drawEveryFrame;
    return platform::Init(config, error);
}
