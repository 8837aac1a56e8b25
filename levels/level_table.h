/// @file
/// A game as the engine plays it: its name, its table of levels and where its
/// content is. The command line, its help, the menu and the content check all
/// read the table, so a game adds a level by adding a row.
#pragma once

#include <span>
#include <string_view>

class BaseLevel;

struct LevelInfo {
    const char* name;      ///< as `--level` takes it
    BaseLevel* (*make)();  ///< a new level, not yet set up
    /// The files the level opens from the content folder.
    std::span<const char* const> contentFiles;
    const char* description;  ///< one line: what the level is
    /// One line: how it is played. Escape or closing the window quits every level.
    const char* controls;
    /// The level's picture on the menu: a 128 x 96 content file, or null.
    const char* thumbnail = nullptr;
};

struct GameInfo {
    const char* name;     ///< the program's name, as its messages and `--help` show it
    const char* version;  ///< as `--version` shows it
    /// Every level, in the order they are offered; the first is the default.
    std::span<const LevelInfo> levels;
    /// Where the content is looked for when `--assets` names no folder, after
    /// the working folder: a relative folder from the program's own folder
    /// (where an installed game keeps it), an absolute one as it stands.
    std::span<const char* const> contentFolders = {};
    /// The window's caption; null: the name.
    const char* caption = nullptr;
    /// The menu's title picture, a content file; null: the name in text.
    const char* titlePicture = nullptr;
};

/// The content files the menu opens besides the game's title picture and the
/// levels' thumbnails: its font, pointer and frame.
std::span<const char* const> MenuFiles();

/// The level of that name in `levels`, or null.
const LevelInfo* FindLevel(std::span<const LevelInfo> levels, std::string_view name);
