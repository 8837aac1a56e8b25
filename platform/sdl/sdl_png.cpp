#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <algorithm>
#include <vector>

#include "platform/png.h"

namespace platform {

bool SavePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
             bool keepAlpha, std::string* error) {
    if (!pixels || width <= 0 || height <= 0) {
        if (error) *error = "no image to write";
        return false;
    }
    std::vector<std::uint32_t> copy(pixels, pixels + static_cast<std::size_t>(width) * height);
    if (!keepAlpha)
        for (auto& p : copy) p |= 0xFF000000u;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(copy.data(), width, height, 32, width * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    if (!s) {
        if (error) *error = SDL_GetError();
        return false;
    }
    const int rc = IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
    if (rc != 0) {
        if (error) *error = std::string("cannot write '") + path + "': " + IMG_GetError();
        return false;
    }
    return true;
}

bool ReadImageFile(const std::string& path, std::vector<std::uint32_t>* pixels, int* width,
                   int* height, std::string* error) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        if (error) *error = std::string("cannot read '") + path + "': " + IMG_GetError();
        return false;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) {
        if (error) *error = SDL_GetError();
        return false;
    }
    *width = argb->w;
    *height = argb->h;
    pixels->resize(static_cast<std::size_t>(argb->w) * argb->h);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch);
        std::copy(row, row + argb->w, pixels->begin() + static_cast<std::ptrdiff_t>(y) * argb->w);
    }
    SDL_FreeSurface(argb);
    return true;
}

}  // namespace platform
