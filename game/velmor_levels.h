// Velmor's own game: the five levels and where their content is.
#pragma once

#include "levels/level_table.h"

const GameInfo& VelmorGame();
