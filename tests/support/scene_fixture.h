// A fresh engine (installed as the global `engine`, put back afterwards)
// with a software device, run in a scratch folder that the
// test fills with its own bitmaps; the folder is removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/renderer.h"
#include "support/bmp_writer.h"
#include "support/engine_fixture.h"
#include "engine/engine.h"
#include "platform/core/clock.h"
#include "platform/core/window.h"

class SceneTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        saved_ = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("velmor_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        InitEngine();
    }
    void TearDown() override {
        std::filesystem::current_path(saved_);
        std::filesystem::remove_all(dir_);
        EngineTest::TearDown();
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

    std::filesystem::path dir_;

private:
    std::filesystem::path saved_;
};
