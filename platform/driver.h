// The back-end contract: the small tables through which platform/core reaches
// a driver. Each driver folder fills one or more of them; app's set-up picks
// the drivers at run time (--headless, VELMOR_VIDEO) and installs them before
// platform::Init. Any table or entry may be missing: core then does the
// harmless thing (no native window, no system events, nothing shown, no
// sound device, so the mixer follows the clock; no mesh can be loaded).
//
// Drivers hand what the user does to core through the Inject* calls of
// platform/core/dinput.h (keys, motion, wheel, buttons, focus, close
// requests); core keeps every rule of the devices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/types.h"

struct XMeshData;

namespace platform {

// 32-bit ARGB pixels, top row first, no padding.
struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Entries left out of a table are null.
struct VideoDriver {
    const char* name = {};
    // Real windows and the wall clock. False for headless runs, which get
    // the virtual clock and clock-driven sound.
    bool realTime = {};
    // Brings the driver up; false with `error` set when it cannot run here.
    bool (*start)(std::string* error) = {};
    void (*stop)() = {};
    void* (*createWindow)(const char* title, int width, int height) = {};
    void (*showWindow)(void* native) = {};
    void (*destroyWindow)(void* native) = {};
    // Takes in pending system events and hands them to core.
    void (*pumpEvents)() = {};
    // Shows a finished frame in the window, scaled, and paces to the display.
    void (*present)(void* native, const std::uint32_t* pixels, int width, int height) = {};
    // A modal message box; false when none can be shown.
    bool (*messageBox)(void* native, const char* text, const char* caption) = {};
    // Whether the window has the keyboard focus (asked until a focus event
    // has said so).
    bool (*hasFocus)(void* native) = {};
    // Hides the pointer and reports raw relative motion while on.
    void (*setRelativeMouse)(bool on) = {};
    // Whether graphics devices can be made here at all.
    bool (*graphicsAvailable)() = {};
    // Readies the window to show a new device's frames of this size; false
    // when it cannot, and the device is not made.
    bool (*openDevice)(void* native, int width, int height) = {};
    // Whether a frame may begin in the window now; false while its device
    // is lost, and the frame is skipped.
    bool (*beginFrame)(void* native) = {};
};

struct AudioDriver {
    const char* name;
    // Called on the device's thread for every block: fill `frames` frames of
    // 44100 Hz interleaved stereo 16-bit samples.
    using MixCallback = void (*)(std::int16_t* out, int frames);
    // Opens the output and starts calling `mix`; false when there is none.
    bool (*open)(MixCallback mix);
    void (*close)();
};

struct ImageCodec {
    const char* name;
    // Decodes a Windows bitmap held in memory; alpha is as the decoder reads it.
    bool (*decodeBitmap)(const std::uint8_t* bytes, std::size_t size, ArgbImage* out);
    // Reads any image file the codec knows (PNG, BMP ...).
    bool (*readFile)(const std::string& path, ArgbImage* out, std::string* error);
    // Writes the image as a PNG with its alpha.
    bool (*savePng)(const std::string& path, const ArgbImage& image, std::string* error);
};

struct MeshLoader {
    const char* name;
    // Reads the X file at `path` (an existing file; name resolution is
    // core's). Frame transforms are applied to the vertices. S_OK, or a
    // failure code with `out` left empty when the file cannot be read, the
    // reason reported with platform::ReportLoadFailure.
    HRESULT (*load)(const char* path, XMeshData* out);
};

struct Drivers {
    const VideoDriver* video = nullptr;
    const AudioDriver* audio = nullptr;
    const ImageCodec* image = nullptr;
    const MeshLoader* mesh = nullptr;
};

void InstallDrivers(const Drivers& drivers);
const Drivers& InstalledDrivers();

}  // namespace platform
