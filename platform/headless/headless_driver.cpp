#include "platform/headless/headless_driver.h"

namespace platform::headless {

// Every entry is left out on purpose: core's defaults are the headless
// behaviour (windows without a native side, nothing shown, message boxes on
// standard error, the pointer never captured).
const VideoDriver kVideoDriver = {
    "headless", false,   nullptr, nullptr, nullptr, nullptr,
    nullptr,    nullptr, nullptr, nullptr, nullptr, nullptr,
};

}  // namespace platform::headless
