// The --input script parser: any text either parses or gives one line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<platform::ScriptEvent> events;
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!platform::ParseInputScript(text, "fuzz.txt", &events, &error)) {
        if (error.empty() || error.find('\n') != std::string::npos ||
            error.find('\0') != std::string::npos || error.size() > 400)
            __builtin_trap();
        return 0;
    }
    for (std::size_t i = 1; i < events.size(); ++i)
        if (events[i].frame < events[i - 1].frame) __builtin_trap();
    return 0;
}
