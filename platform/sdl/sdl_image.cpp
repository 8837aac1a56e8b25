// SDL2 and SDL2_image as the image codec: bitmaps decoded from memory, any
// image file read, PNG written.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/sdl_driver.h"

namespace platform::sdl {
namespace {

// Converts a surface to ARGB rows without padding; frees the surface.
bool TakeArgb(SDL_Surface* loaded, ArgbImage* out) {
    if (!loaded) return false;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) return false;
    out->width = argb->w;
    out->height = argb->h;
    out->pixels.resize(static_cast<std::size_t>(argb->w) * argb->h);
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y)
        std::memcpy(out->pixels.data() + static_cast<std::size_t>(y) * argb->w,
                    static_cast<const unsigned char*>(argb->pixels) +
                        static_cast<std::size_t>(y) * argb->pitch,
                    static_cast<std::size_t>(argb->w) * 4);
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return true;
}

bool DecodeBitmap(const std::uint8_t* bytes, std::size_t size, ArgbImage* out) {
    if (size > 0x7FFFFFFF) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (!rw) return false;
    return TakeArgb(SDL_LoadBMP_RW(rw, 1), out);
}

bool ReadFile(const std::string& path, ArgbImage* out, std::string* error) {
    if (TakeArgb(IMG_Load(path.c_str()), out)) return true;
    if (error) *error = "cannot read '" + path + "': " + SDL_GetError();
    return false;
}

// Where a PNG for `path` goes: `file`, the file it names (a symbolic link
// followed), written whole under `temporary`, a new name beside it, and then
// renamed to it (a rename within a folder replaces a file at once). A path
// that names something other than a regular file (a device such as
// /dev/null, a pipe) is written in place: both are `path`.
struct Destination {
    std::string file, temporary;
};

Destination DestinationOf(const std::string& path) {
    std::string file = path;
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = realpath(path.c_str(), nullptr);
        if (!real) return {path, path};
        file = real;
        std::free(real);
    }
    if (stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return {path, path};
    const std::size_t name = file.find_last_of('/') + 1;  // 0 without a folder
    return {file, file.substr(0, name) + "." + file.substr(name) + "." + std::to_string(getpid()) +
                      ".tmp"};
}

bool SavePng(const std::string& path, const ArgbImage& image, std::string* error) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(image.pixels.data()), image.width, image.height, 32,
        image.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s) {
        if (error) *error = SDL_GetError();
        return false;
    }
    // Written through our own stream so that a failed write or close (a full
    // disk, /dev/full) is seen: SDL does not report those. A file is written
    // whole under a temporary name and then renamed: a run killed meanwhile
    // leaves neither a cut PNG nor a lost earlier one.
    const Destination to = DestinationOf(path);
    std::FILE* file = std::fopen(to.temporary.c_str(), "wb");
    if (!file) {
        SDL_FreeSurface(s);
        if (error) *error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    SDL_RWops* rw = SDL_RWFromFP(file, SDL_FALSE);
    const int rc = rw ? IMG_SavePNG_RW(s, rw, 1) : -1;
    SDL_FreeSurface(s);
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    int savedErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (flushed && !closed) savedErrno = errno;
    bool renamed = true;
    if (rc == 0 && flushed && closed && to.temporary != to.file) {
        renamed = std::rename(to.temporary.c_str(), to.file.c_str()) == 0;
        if (!renamed) savedErrno = errno;
    }
    if (rc != 0 || !flushed || !closed || !renamed) {
        if (to.temporary != to.file) std::remove(to.temporary.c_str());
        if (error)
            *error = "cannot write '" + path +
                     "': " + (rc != 0 ? std::string(IMG_GetError()) : std::strerror(savedErrno));
        return false;
    }
    return true;
}

}  // namespace

const ImageCodec kImageCodec = {
    .name = "sdl",
    .decodeBitmap = DecodeBitmap,
    .readFile = ReadFile,
    .savePng = SavePng,
};

}  // namespace platform::sdl
