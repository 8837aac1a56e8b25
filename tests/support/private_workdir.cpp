// Tests write their images and sounds by bare names, as the game names its
// files. CTest runs test cases side by side, so each test process works in a
// folder of its own, removed when the process ends.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

const bool entered = [] {
    char pattern[] = "/tmp/velmor-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir || chdir(dir) != 0) return false;
    Folder() = dir;
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(Folder(), ec);
    });
    return true;
}();

}  // namespace
