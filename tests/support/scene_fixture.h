// A fresh engine with a software device in a scratch folder for the test's own bitmaps.
#pragma once

#include <cstdint>

#include "engine/renderer.h"
#include "support/bmp_writer.h"
#include "support/engine_fixture.h"

class SceneTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        InitEngine();
    }
    // Runs one whole frame: updates, clear, renders, present.
    void Frame() { engine->Frame(); }
    // Renders the registered entities onto a cleared back buffer (no updates).
    void Draw() {
        engine->renderer->BeginFrame();
        engine->RenderEntities();
        engine->renderer->EndFrame();
    }
    std::uint32_t Pixel(int x, int y) const {
        const IDirect3DSurface9* bb = engine->renderer->backBuffer;
        return bb->Pixels()[static_cast<std::size_t>(y) * bb->Width() + x];
    }

    WorkIn folder_;
};
