#include "platform/core/content_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// What a file of that mode is, when it is not a regular file; empty when it is.
std::string WhatItIs(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return "it is a folder, not a file";
    if (S_ISFIFO(mode)) return "it is a named pipe (FIFO), not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
    if (S_ISSOCK(mode)) return "it is a socket, not a file";
    return "it is not a regular file";
}

std::string OpenError(int error) {
    return error == ENOENT || error == ENOTDIR ? "no such file" : std::strerror(error);
}

}  // namespace

namespace platform {

std::FILE* OpenRegularFile(const std::string& path, std::string* why, std::uint64_t* size) {
    // Non-blocking, so that a named pipe opens at once and is then refused;
    // the kind is taken from the open file itself, so nothing can be swapped
    // in between the look and the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        struct stat st {};
        // A socket cannot be opened at all (ENXIO): say what it is all the same.
        *why = ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) ? WhatItIs(st.st_mode)
                                                                      : OpenError(error);
        return nullptr;
    }
    struct stat st {};
    const std::string refused = ::fstat(fd, &st) != 0 ? std::strerror(errno) : WhatItIs(st.st_mode);
    if (!refused.empty()) {
        *why = refused;
        ::close(fd);
        return nullptr;
    }
    if (size) *size = static_cast<std::uint64_t>(st.st_size);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        *why = std::strerror(errno);
        ::close(fd);
    }
    return file;
}

std::string NotARegularFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return OpenError(errno);
    return WhatItIs(st.st_mode);
}

}  // namespace platform
