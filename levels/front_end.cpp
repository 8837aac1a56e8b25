#include "levels/front_end.h"

#include <algorithm>
#include <sstream>

#include "base/vector3.h"
#include "engine/base_level.h"
#include "engine/engine.h"
#include "engine/input_system.h"
#include "engine/renderer.h"
#include "engine/texture_cache.h"
#include "entities/bitmap_text.h"
#include "levels/level_table.h"
#include "platform/core/clock.h"
#include "platform/core/dsound.h"

namespace {

constexpr const char* kFont = "smallfont.bmp";
constexpr int kGlyphWidth = 8;
constexpr int kLineHeight = 16;
constexpr int kKeys[3] = {DIK_P, DIK_F1, DIK_ESCAPE};
constexpr D3DCOLOR kPanelEdge = 0xFFB08A2E;
constexpr D3DCOLOR kPanel = 0xFF141C2C;

// A framed panel holding `lines`, centred across the screen with its top at `top`.
void DrawPanel(IDirect3DTexture9* font, const std::vector<std::string>& lines, int top) {
    std::size_t widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, line.size());
    const int w = static_cast<int>(widest) * kGlyphWidth + 40;
    const int h = static_cast<int>(lines.size()) * kLineHeight + 28;
    const int left = (engine->width - w) / 2;
    IDirect3DDevice9* device = engine->renderer->device;
    const RECT edge{left, top, left + w, top + h};
    const RECT inside{left + 3, top + 3, left + w - 3, top + h - 3};
    device->Clear(1, &edge, D3DCLEAR_TARGET, kPanelEdge, 1.0f, 0);
    device->Clear(1, &inside, D3DCLEAR_TARGET, kPanel, 1.0f, 0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Vector3 at(static_cast<float>(left + 20),
                         static_cast<float>(top + 16 + static_cast<int>(i) * kLineHeight), 0.0f);
        DrawBitmapText(font, at, kGlyphWidth, lines[i].c_str());
    }
}

}  // namespace

std::vector<std::string> WrapWords(const std::string& text, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    lines.push_back(line);
    return lines;
}

FrontEnd::FrontEnd(bool menu) : menu_(menu) {
    engine->input->Reserve(DIK_P);
    engine->input->Reserve(DIK_F1);
    platform::SetEscapeCloses(!menu);
}

FrontEnd::~FrontEnd() {
    SetPaused(false);
    if (engine->host == this) engine->host = nullptr;
}

FrontEnd* FrontEnd::Installed() { return dynamic_cast<FrontEnd*>(engine->host); }

void FrontEnd::Play(const LevelInfo* level) {
    playing_ = level;
    SetPaused(false);
    help = false;
    helpLines_.clear();
    if (!level) return;
    helpLines_.push_back(std::string(level->name) + ": " + level->description);
    helpLines_.emplace_back();
    for (std::string& line : WrapWords(level->controls, 72)) helpLines_.push_back(line);
    helpLines_.emplace_back();
    helpLines_.push_back("P pauses and resumes, F1 hides this help");
    helpLines_.push_back(menu_ ? "Escape returns to the menu" : "Escape quits");
}

void FrontEnd::SetPaused(bool pause) {
    if (pause == paused) return;
    paused = pause;
    platform::PauseClock(pause);
    platform::PauseSound(pause);
}

bool FrontEnd::BeginFrame(BaseLevel* level) {
    BYTE keys[256] = {};
    IDirectInputDevice8A* keyboard = engine->input->keyboard;
    if (keyboard && FAILED(keyboard->GetDeviceState(sizeof(keys), keys))) std::fill_n(keys, 256, 0);
    bool pressed[3];
    for (int k = 0; k < 3; ++k) {
        const bool down = (keys[kKeys[k]] & 0x80) != 0;
        pressed[k] = down && !wasDown_[k];
        wasDown_[k] = down;
    }
    if (playing_) {
        if (pressed[0]) SetPaused(!paused);
        if (pressed[1]) help = !help;
    }
    if (menu_ && pressed[2]) {
        if (playing_)
            level->running = false;  // back to the menu
        else
            PostMessageA(engine->window, WM_CLOSE, 0, 0);  // as the close button does
    }
    return !paused;
}

IDirect3DTexture9* FrontEnd::Font() {
    // Loaded on first use: a run that never pauses or shows help never opens it.
    if (!fontLoaded_) engine->textureCache->Load(kFont);
    fontLoaded_ = true;
    const TextureRecord* record = engine->textureCache->Find(kFont);
    return record ? record->texture : nullptr;
}

void FrontEnd::DrawOver() {
    if (paused) DrawPanel(Font(), {"PAUSED", "", "P resumes"}, 150);
    if (help) DrawPanel(Font(), helpLines_, 300);
}
