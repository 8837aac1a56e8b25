#include "game/show_flowers.h"

#include "base/random.h"
#include "entities/animated_sprite.h"
#include "platform/core/clock.h"

void ShowFlowers::Fire() {
    started = true;
    Srand(static_cast<std::uint32_t>(Time()));
    for (int i = 0; i < kFlowerCount; ++i) {
        flowers[i] = new AnimatedSprite("flower.bmp", 4, 32, 32, 1, 4);
        const int y0 = Rand() % 210;
        const int x0 = Rand() % 992;
        flowers[i]->SetPosition(static_cast<float>(x0), static_cast<float>(y0) + 526.0f);
    }
    done = true;
}
