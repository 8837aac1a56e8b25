// A headless engine in the content folder, so the savanna's files load.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/platform_setup.h"
#include "engine/engine.h"
#include "platform/core/dinput.h"
#include "platform/core/platform.h"
#include "platform/testing/test_hooks.h"
#include "support/engine_fixture.h"

class SavannaTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        std::string error;
        ASSERT_TRUE(StartPlatform(true, platform::kDefaultClockStart, &error)) << error;
        platform::ResetInputForTest();
        std::filesystem::current_path(VELMOR_CONTENT_DIR);
        InitEngine();
    }
    void TearDown() override {
        std::filesystem::current_path(saved_);
        platform::Shutdown();
        EngineTest::TearDown();
    }
    // Holds or releases keys; the keyboard sees them at the next pump.
    static void Keys(std::initializer_list<int> keys, bool down) {
        for (int k : keys) platform::InjectKey(k, down);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    static bool Registered(const void* entity) {
        for (ObjectNode* n = engine->registry->Head(); n; n = n->next)
            if (n->value == entity) return true;
        return false;
    }

  private:
    std::filesystem::path saved_ = std::filesystem::current_path();
};
