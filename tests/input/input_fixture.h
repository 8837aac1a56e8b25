// A headless platform and a fresh, initialised engine for input tests, with
// the input state of earlier tests forgotten.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "platform/testing/test_hooks.h"
#include "engine/input_system.h"
#include "platform/core/dinput.h"
#include "platform/core/platform.h"
#include "support/engine_fixture.h"

class InputTest : public EngineTest {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(StartPlatform(true, platform::kDefaultClockStart, &error)) << error;
        EngineTest::SetUp();
        // The engine lives as long as the program, as in a run.
        static auto* engines = new std::vector<Engine*>;
        engines->push_back(engine);
        platform::ResetInputForTest();
        InitEngine();
        input = engine->input;
    }
    void TearDown() override {
        EngineTest::TearDown();
        platform::Shutdown();
    }
    // Takes in pending system events the way the loop does, leaving any
    // window message in the queue.
    static void Pump() {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    }

    InputSystem* input = nullptr;
};
