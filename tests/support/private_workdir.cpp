// Every test process starts the same way: the headless drivers are installed
// (the image codec included, no window, no sound device), and, since tests
// write their images and sounds by bare names as the game names its files
// and CTest runs test cases side by side, each process works in a folder of
// its own, removed when the process ends.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/platform_setup.h"

namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

const bool entered = [] {
    InstallDrivers(true, nullptr);
    // Tests read the design traces (and so do the programs they start).
    setenv("VELMOR_TRACE", "1", 1);
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
