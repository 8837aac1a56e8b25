/// @file
/// Settings read from the environment. A variable set to a value that cannot
/// be used is told once per process and variable, in one line on standard
/// error naming the variable, the value and what is used instead.
#pragma once

#include <string>

/// Writes "PROGRAM: NAME='VALUE' is not WANTED; using USED" the first time it
/// is called for NAME; later calls for NAME write nothing. Bytes of the value
/// outside printable ASCII are shown as `\xNN`.
void ReportUnusableSetting(const char* name, const char* value, const std::string& wanted,
                           const std::string& used);
