// Where a run reads its content: the folder that holds the files it opens.
#pragma once

#include <string>
#include <vector>

#include "levels/level_table.h"

// The files a run of `game` opens from its content folder: the level's own,
// or for the menu its own files, the title picture and every level's picture.
std::vector<const char*> RunContentFiles(const GameInfo& game, bool menu, const LevelInfo& level);

// The first of `folders` that holds any of `files` (names matched as image
// names are: a missing name may match in another letter case); empty when
// none of them holds any.
std::string FindContentFolder(const std::vector<std::string>& folders,
                              const std::vector<const char*>& files);
