// Chooses the platform's drivers for a run, like SDL's bootstrap table: the
// SDL2 window and sound, or the headless driver; either way SDL2's image
// codec and Assimp's mesh loader. --headless or VELMOR_VIDEO=headless picks
// the headless driver.
#pragma once

#include <cstdint>
#include <string>

// Installs the drivers; false with `error` set for an unknown VELMOR_VIDEO.
bool InstallDrivers(bool headless, std::string* error);

// Installs the drivers and starts the platform with its clock at
// `clockStart` (headless). False with `error` set when it cannot start.
bool StartPlatform(bool headless, std::int64_t clockStart, std::string* error,
                   bool drawEveryFrame = false);
