// The levels velmor plays, in one table: the command line, its help, the
// content check and the content generator's test all read it.
#pragma once

#include <span>
#include <string>
#include <string_view>

class BaseLevel;

struct LevelInfo {
    const char* name;      // as --level takes it
    BaseLevel* (*make)();  // a new level, not yet set up
    // The files the level opens from the content folder.
    std::span<const char* const> contentFiles;
    const char* description;  // one line: what the level is
    // One line: how it is played. Escape or closing the window quits every level.
    const char* controls;
    // The level's picture on the menu: a 128 x 96 content file.
    const char* thumbnail;
};

// Every level, in the order they are offered; the first is the default.
std::span<const LevelInfo> Levels();

// The content files the menu opens besides the levels' thumbnails.
std::span<const char* const> MenuFiles();

// The level of that name, or null.
const LevelInfo* FindLevel(std::string_view name);

// Makes the level of that name, or null: the game world's level factory.
BaseLevel* CreateLevel(const std::string& name);
