// The command-line parser: the input is argv, its arguments separated by NUL.
#include <cstdint>
#include <string>
#include <vector>

#include "app/options.h"
#include "game/velmor_levels.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args = {"velmor"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    args.push_back(current);
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    Options options;
    std::string error;
    if (ParseOptions(static_cast<int>(argv.size()), argv.data(), VelmorGame(), &options, &error) ==
        ParseResult::kError) {
        if (error.empty() || error.find('\n') != std::string::npos || error.size() > 400)
            __builtin_trap();
    }
    return 0;
}
