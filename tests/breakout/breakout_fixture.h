// A headless platform and a fresh, initialised engine, run in a chosen
// folder, with keys that can be held down as a player would.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/dinput.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "support/engine_fixture.h"

class BreakoutTest : public EngineTest {
  protected:
    // The folder the engine loads its files from; empty: the test's own.
    explicit BreakoutTest(std::string folder = "") : folder_(std::move(folder)) {}

    void SetUp() override {
        platform::Config config;
        config.headless = true;
        std::string error;
        ASSERT_TRUE(platform::Init(config, &error)) << error;
        EngineTest::SetUp();
        // The engine lives as long as the program, as in a run.
        static auto* engines = new std::vector<Engine*>;
        engines->push_back(engine);
        platform::ResetInputForTest();
        char buf[4096];
        ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
        savedDir_ = buf;
        if (!folder_.empty()) {
            ASSERT_EQ(chdir(folder_.c_str()), 0) << folder_;
        }
        InitEngine();
    }
    void TearDown() override {
        ASSERT_EQ(chdir(savedDir_.c_str()), 0);
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
    std::string folder_;
    std::string savedDir_;
};
