#include "platform/headless/headless_driver.h"

namespace platform::headless {

// Every operation is null on purpose: core's defaults are the headless
// behaviour (windows without a native side, nothing shown, message boxes on
// standard error, the pointer never captured).
const VideoDriver kVideoDriver = {
    .name = "headless",
    .realTime = false,
    .start = nullptr,
    .stop = nullptr,
    .createWindow = nullptr,
    .showWindow = nullptr,
    .destroyWindow = nullptr,
    .pumpEvents = nullptr,
    .present = nullptr,
    .messageBox = nullptr,
    .hasFocus = nullptr,
    .setRelativeMouse = nullptr,
    .graphicsAvailable = nullptr,
    .openDevice = nullptr,
    .beginFrame = nullptr,
};

}  // namespace platform::headless
