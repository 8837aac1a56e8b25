// A fresh engine for one test, installed as the global `engine` and put back
// afterwards; windows and queued messages of earlier tests are dropped.
#pragma once

#include <gtest/gtest.h>

#include "platform/testing/test_hooks.h"
#include "engine/engine.h"
#include "platform/core/clock.h"
#include "platform/core/window.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetWindowsForTest();
        platform::UseVirtualClock(platform::kDefaultClockStart);
        saved_ = engine;
        engine = new Engine();
    }
    void TearDown() override {
        engine = saved_;
        platform::ResetWindowsForTest();
    }
    // Runs Engine::Init headless (offscreen window, software device).
    void InitEngine() { engine->Init(GetModuleHandleA(nullptr), SW_SHOWDEFAULT); }

private:
    Engine* saved_ = nullptr;
};
