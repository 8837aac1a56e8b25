// Opening the game's content files for reading. Only regular files open: a
// folder, a device, a named pipe or a socket given a content file's name is
// refused by what it is, without blocking (opening a named pipe for reading
// waits for a writer, for ever if none comes) and without reading it (a
// device such as /dev/zero never ends).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

// The file open for reading in binary, with its length in `size` when given;
// or null with `why` set to one clause for a user: "no such file", "it is a
// folder, not a file", ...
std::FILE* OpenRegularFile(const std::string& path, std::string* why,
                           std::uint64_t* size = nullptr);

// Why `path` cannot be read as a content file (as OpenRegularFile says it),
// or empty when it is a regular file.
std::string NotARegularFile(const std::string& path);

}  // namespace platform
