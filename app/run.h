/// @file
/// A game's program: the command line, the platform, the level or the menu.
#pragma once

#include "levels/level_table.h"

/// Plays `game` as its command line asks (`--level`, `--menu`, `--headless`,
/// `--input`, `--record`, `--screenshot`, `--dump`, `--audio-out`, `--frames`, `--assets`;
/// `--help` lists them with the game's levels) and returns the exit status:
/// 0 when the window was closed or the frames ran out, 2 with one line on
/// standard error for a bad command line or an output that failed.
///
///     int main(int argc, char** argv) { return RunGame(argc, argv, kMyGame); }
int RunGame(int argc, const char* const* argv, const GameInfo& game);
