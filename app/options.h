// The command line of velmor: parsing and checking, before anything opens.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "levels/level_table.h"

struct Options {
    const LevelInfo* level = nullptr;  // the game's first unless --level names one
    bool menu = false;                 // start on the title menu instead of a level
    bool headless = false;
    std::int64_t frames = -1;  // -1: until the window is closed
    std::int64_t clockStart = 1700000000;
    std::string input;
    std::string record;
    std::vector<std::pair<std::int64_t, std::string>> screenshots;
    std::string audioOut;
    std::string dump;
    std::int64_t dumpEvery = 1;
    std::string assets;
    bool help = false;
    bool version = false;
    bool drawEveryFrame = false;  // headless: draw the frames nobody looks at too
};

enum class ParseResult { kRun, kExit, kError };

// Parses argv into `out` for `game`, whose levels --level names. On kError, `error` holds one line
// (no trailing newline) naming the bad option or value.
ParseResult ParseOptions(int argc, const char* const* argv, const GameInfo& game, Options* out,
                         std::string* error);

// The --help text: the options, then every level of `game` with its controls.
std::string UsageText(const GameInfo& game);
