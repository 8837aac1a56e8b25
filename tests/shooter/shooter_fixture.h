// A headless engine in the content folder, so the shooter's images load,
// with helpers to hold keys and to find the shooter's objects.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "engine/base_entity.h"
#include "engine/engine.h"
#include "platform/core/dinput.h"
#include "platform/core/platform.h"
#include "platform/testing/test_hooks.h"
#include "support/engine_fixture.h"

class ShooterTest : public EngineTest {
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
    // Presses or releases a key; the keyboard sees it at the next pump.
    static void Key(int dik, bool down) {
        platform::InjectKey(dik, down);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    // The update of frame k sees k - 1 presented frames on the virtual clock.
    static void AtFrame(std::int64_t k) { platform::SetPresentedFramesForTest(k - 1); }

    // The registered entities of one kind, in registry order.
    template <typename T>
    static std::vector<T*> All(int kind) {
        std::vector<T*> out;
        for (ObjectNode* n = engine->registry->Head(); n; n = n->next)
            if (n->key == kind) out.push_back(static_cast<T*>(static_cast<BaseEntity*>(n->value)));
        return out;
    }
    static bool Registered(BaseEntity* e) {
        for (ObjectNode* n = engine->registry->Head(); n; n = n->next)
            if (n->value == e) return true;
        return false;
    }

  private:
    std::filesystem::path saved_ = std::filesystem::current_path();
};
