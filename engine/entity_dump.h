/// @file
/// The entity dump: one JSON line per frame listing every registered entity in
/// registry order, each described by its own Dump operation into a record.
#pragma once

#include <cstdint>
#include <string>

#include "engine/dump_record.h"  // what each entity's Dump fills

/// {"frame":k,"entities":[...]} for the engine's registry as it stands. The
/// registry's search cursor is left untouched.
std::string DumpFrameLine(std::int64_t frame);
