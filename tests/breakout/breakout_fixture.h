// A headless platform and a fresh engine, run in a chosen folder, with keys
// that can be held down as a player would.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "platform/core/dinput.h"
#include "platform/core/platform.h"
#include "platform/testing/test_hooks.h"
#include "support/engine_fixture.h"

class BreakoutTest : public EngineTest {
  protected:
    // Starts the engine in `folder`; empty: the test process's own.
    void Start(const std::string& folder) {
        std::string error;
        ASSERT_TRUE(StartPlatform(true, platform::kDefaultClockStart, &error)) << error;
        static auto* engines = new std::vector<Engine*>;  // live to the end, as in a run
        engines->push_back(engine);
        platform::ResetInputForTest();
        if (!folder.empty()) std::filesystem::current_path(folder);
        InitEngine();
    }
    void TearDown() override {
        std::filesystem::current_path(saved_);
        EngineTest::TearDown();
        platform::Shutdown();
    }
    // Holds or releases a key; the input system sees it from its next read.
    static void Key(int dik, bool down) {
        platform::InjectKey(dik, down);
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    }

  private:
    std::filesystem::path saved_ = std::filesystem::current_path();
};
