// Every test process installs the headless drivers and, since tests write files
// by bare names and CTest runs cases side by side, works in a folder of its own.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/platform_setup.h"

namespace {

char folder[] = "/tmp/velmor-test-XXXXXX";

const bool entered = [] {
    InstallDrivers(true, nullptr);
    setenv("VELMOR_TRACE", "1", 1);  // tests read the traces, as do the programs they start
    if (!mkdtemp(folder) || chdir(folder) != 0) return false;
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    });
    return true;
}();

}  // namespace
