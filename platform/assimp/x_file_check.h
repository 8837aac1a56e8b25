// A look over an X file's tokens before Assimp reads it. Assimp's X reader
// sizes its arrays from counts in the file before reading what they count,
// and takes a mesh's material list as consistent; a damaged file makes it
// ask for gigabytes or read outside its arrays.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::assimp {

// Why these bytes (a whole X file, header included) must not be read, or
// nullptr when every count fits in the bytes after it and every face
// material names one of the materials its list gives.
const char* XFileFault(const std::uint8_t* bytes, std::size_t size);

}  // namespace platform::assimp
