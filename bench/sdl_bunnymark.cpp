#include "sdl_bunnymark.h"

#include <SDL2/SDL.h>

#include <cmath>

namespace platform {

struct SdlSoftwareBunnymark::Impl {
    SDL_Surface* target = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texW = 0;
    int texH = 0;
};

SdlSoftwareBunnymark::SdlSoftwareBunnymark(int width, int height, const std::uint32_t* texels,
                                           int texW, int texH) {
    auto* impl = new Impl();
    impl->texW = texW;
    impl->texH = texH;
    impl->target = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (impl->target) impl->renderer = SDL_CreateSoftwareRenderer(impl->target);
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(texels), texW, texH, 32, texW * 4, SDL_PIXELFORMAT_ARGB8888);
    if (impl->renderer && image)
        impl->texture = SDL_CreateTextureFromSurface(impl->renderer, image);
    if (image) SDL_FreeSurface(image);
    if (!impl->texture) {
        if (impl->renderer) SDL_DestroyRenderer(impl->renderer);
        if (impl->target) SDL_FreeSurface(impl->target);
        delete impl;
        return;
    }
    SDL_SetTextureBlendMode(impl->texture, SDL_BLENDMODE_BLEND);
    impl_ = impl;
}

SdlSoftwareBunnymark::~SdlSoftwareBunnymark() {
    if (!impl_) return;
    SDL_DestroyTexture(impl_->texture);
    SDL_DestroyRenderer(impl_->renderer);
    SDL_FreeSurface(impl_->target);
    delete impl_;
}

void SdlSoftwareBunnymark::Frame(const float* xs, const float* ys, int count) {
    if (!impl_) return;
    SDL_SetRenderDrawColor(impl_->renderer, 0, 0, 0, 255);
    SDL_RenderClear(impl_->renderer);
    for (int i = 0; i < count; ++i) {
        const SDL_Rect dst{static_cast<int>(std::ceil(xs[i])), static_cast<int>(std::ceil(ys[i])),
                           impl_->texW, impl_->texH};
        SDL_RenderCopy(impl_->renderer, impl_->texture, nullptr, &dst);
    }
    SDL_RenderFlush(impl_->renderer);
}

std::uint32_t SdlSoftwareBunnymark::PixelAt(int x, int y) const {
    if (!impl_ || x < 0 || y < 0 || x >= impl_->target->w || y >= impl_->target->h) return 0;
    const auto* row = static_cast<const std::uint8_t*>(impl_->target->pixels) +
                      static_cast<std::size_t>(y) * impl_->target->pitch;
    return reinterpret_cast<const std::uint32_t*>(row)[x];
}

}  // namespace platform
