/// @file
/// The generated result-code table (error_table.cpp, made by tools/errgen).
#pragma once

#include <cstddef>
#include <cstdint>

struct ErrorEntry {
    std::uint32_t code;
    const char* name;
    const wchar_t* wideName;
    const char* description;  ///< null when the code has none
    const wchar_t* wideDescription;
};

/// Sorted by code, one entry per distinct code.
extern const ErrorEntry kErrorTable[];
extern const std::size_t kErrorTableSize;
