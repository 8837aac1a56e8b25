#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

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

}  // namespace platform
