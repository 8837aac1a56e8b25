#include "levels/menu_level.h"

#include <algorithm>
#include <cctype>

#include "base/random.h"
#include "engine/engine.h"
#include "engine/input_system.h"
#include "entities/base_sprite.h"
#include "entities/bitmap_text.h"
#include "levels/front_end.h"
#include "levels/level_table.h"

namespace {

constexpr int kGlyphWidth = 8;
constexpr int kRowTop = 152;
constexpr int kRowHeight = 112;
constexpr int kThumbX = 72;
constexpr int kTextX = 232;
constexpr int kFrameInset = 6;  // the frame stands this far outside the thumbnail
// The keys the menu acts on, then the left button.
constexpr int kUp = 0, kDown = 1, kEnter = 2, kSpace = 3, kPadEnter = 4, kButton = 5;
constexpr int kKeys[] = {DIK_UP, DIK_DOWN, DIK_RETURN, DIK_SPACE, DIK_NUMPADENTER};

float RowY(int row) { return static_cast<float>(kRowTop + row * kRowHeight); }

}  // namespace

void MenuLevel::Init() {
    lines_.clear();
    auto text = [&](const std::string& line, float x, float y) {
        lines_.push_back(line);
        auto* t = new BitmapText("smallfont.bmp", kGlyphWidth, 12);
        t->SetText(lines_.back().c_str());
        t->SetPosition(x, y);
    };
    auto centred = [&](const std::string& line, float y) {
        text(line,
             static_cast<float>((engine->width - kGlyphWidth * static_cast<int>(line.size())) / 2),
             y);
    };
    if (game_.titlePicture) {
        auto* title = new BaseSprite(game_.titlePicture);
        title->SetPosition(static_cast<float>((engine->width - title->GetWidth()) / 2), 16.0f);
    } else {
        std::string name = game_.name;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        centred(name, 60.0f);
    }
    centred("Choose a level with the arrow keys or the mouse; Enter or a click plays it.", 124.0f);
    const auto levels = game_.levels;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const LevelInfo& level = levels[i];
        const float y = RowY(static_cast<int>(i));
        if (level.thumbnail) {
            auto* thumb = new BaseSprite(level.thumbnail);
            thumb->SetPosition(kThumbX, y + 8.0f);
        }
        std::string name = level.name;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        text(name, kTextX, y + 10.0f);
        text(level.description, kTextX, y + 30.0f);
        const std::size_t width =
            static_cast<std::size_t>((engine->width - kTextX - 24) / kGlyphWidth);
        float lineY = y + 52.0f;
        for (const std::string& line :
             WrapWords(std::string("controls: ") + level.controls, width)) {
            text(line, kTextX, lineY);
            lineY += 16.0f;
        }
    }
    centred(
        "In a level: P pauses, F1 shows its controls, Escape comes back here. Escape here quits.",
        736.0f);
    frame_ = new BaseSprite("menuframe.bmp");
    pointer_ = new BaseSprite("pointer.bmp");
    pointer_->SetPosition(pointerX_, pointerY_);
    selected = std::clamp(selected, 0, static_cast<int>(levels.size()) - 1);
    frame_->SetPosition(kThumbX - kFrameInset, RowY(selected) + 8.0f - kFrameInset);
    wasDown.assign(std::size(kKeys) + 1, true);
    chosen_ = nullptr;
}

int MenuLevel::RowAt(float x, float y) const {
    const int rows = static_cast<int>(game_.levels.size());
    if (x < kThumbX - kFrameInset || x >= static_cast<float>(engine->width - 16) || y < kRowTop)
        return -1;
    const int row = static_cast<int>((y - kRowTop) / kRowHeight);
    return row < rows ? row : -1;
}

void MenuLevel::Choose(int row) { chosen_ = &game_.levels[static_cast<std::size_t>(row)]; }

void MenuLevel::Update() {
    const DIMOUSESTATE mouse = engine->input->GetMouseState();
    pointerX_ = std::clamp(pointerX_ + static_cast<float>(mouse.lX), 0.0f,
                           static_cast<float>(engine->width - 1));
    pointerY_ = std::clamp(pointerY_ + static_cast<float>(mouse.lY), 0.0f,
                           static_cast<float>(engine->height - 1));
    pointer_->SetPosition(pointerX_, pointerY_);
    const int hovered = RowAt(pointerX_, pointerY_);
    if ((mouse.lX || mouse.lY) && hovered >= 0 && !chosen_) selected = hovered;

    bool pressed[std::size(kKeys) + 1];
    for (std::size_t k = 0; k <= std::size(kKeys); ++k) {
        const bool down = k < std::size(kKeys) ? engine->input->KeyDown(kKeys[k])
                                               : (mouse.rgbButtons[0] & 0x80) != 0;
        pressed[k] = down && !wasDown[k];
        wasDown[k] = down;
    }
    if (chosen_) {
        // The level starts once the key or button that chose it is let go,
        // so that it never sees the press (Space launches breakout's ball).
        running = std::any_of(wasDown.begin() + kEnter, wasDown.end(), [](bool b) { return b; });
        return;
    }
    const int rows = static_cast<int>(game_.levels.size());
    if (pressed[kUp]) selected = (selected + rows - 1) % rows;
    if (pressed[kDown]) selected = (selected + 1) % rows;
    frame_->SetPosition(kThumbX - kFrameInset, RowY(selected) + 8.0f - kFrameInset);
    if (pressed[kButton] && hovered >= 0)
        Choose(hovered);
    else if (pressed[kEnter] || pressed[kSpace] || pressed[kPadEnter])
        Choose(selected);
}

void MenuLevel::Run() {
    FrontEnd* front = FrontEnd::Installed();
    for (;;) {
        BaseLevel::Run();
        if (closed || !chosen_) return;
        const LevelInfo* info = chosen_;
        // The level starts as it would in a run of its own: an empty
        // registry numbering from 0 and the random numbers from their start.
        engine->ClearEntities();
        Srand(kRandStartSeed);
        // It is set up at the start of the next pass, where a recording
        // holds the clock, so that a replay reads the same time.
        if (engine->PumpMessage() == 1) {
            closed = true;
            return;
        }
        BaseLevel* level = info->make();
        if (front) front->Play(info);
        level->Init();
        level->Run();
        closed = level->closed;
        level->Shutdown();
        engine->ClearEntities();
        delete level;
        if (front) front->Play(nullptr);
        if (closed) return;
        Init();
    }
}
