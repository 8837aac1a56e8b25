// SDL2 audio device: 44100 Hz, stereo, 16-bit; its callback runs the mixer.
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/core/debug.h"
#include "platform/sdl/quietly.h"
#include "platform/sdl/sdl_driver.h"

namespace platform::sdl {
namespace {

SDL_AudioDeviceID device = 0;

void Callback(void* mix, Uint8* stream, int len) {
    reinterpret_cast<AudioDriver::MixCallback>(mix)(reinterpret_cast<std::int16_t*>(stream),
                                                    len / 4);
}

bool Open(AudioDriver::MixCallback mix) {
    if (device) return true;
    const bool ok = Quietly([mix] {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want;
        std::memset(&want, 0, sizeof want);
        want.freq = 44100;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = Callback;
        want.userdata = reinterpret_cast<void*>(mix);
        SDL_AudioSpec have;
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        return device != 0;
    });
    if (!ok) {
        // One line of our own, then the mixer follows the clock.
        std::string why = SDL_GetError();
        if (why.empty()) why = "no audio device";
        std::fprintf(stderr, "%s: no sound output: %s; playing silently\n",
                     platform::ProgramName().c_str(), why.c_str());
        Quietly([] {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return 0;
        });
        return false;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void Close() {
    if (!device) return;
    SDL_CloseAudioDevice(device);
    device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

const AudioDriver kAudioDriver = {.name = "sdl", .open = Open, .close = Close};

}  // namespace platform::sdl
