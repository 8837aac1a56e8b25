// SDL2 and SDL2_image as the image codec: bitmaps decoded from memory, any
// image file read, PNG written.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cerrno>
#include <cstdio>
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

bool SavePng(const std::string& path, const ArgbImage& image, std::string* error) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(image.pixels.data()), image.width, image.height, 32,
        image.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s) {
        if (error) *error = SDL_GetError();
        return false;
    }
    // Written through our own stream so that a failed write or close (a full
    // disk, /dev/full) is seen: SDL does not report those.
    std::FILE* file = std::fopen(path.c_str(), "wb");
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
    if (rc != 0 || !flushed || !closed) {
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
