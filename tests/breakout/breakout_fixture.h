// A headless platform and a fresh engine, run in a chosen folder, with keys
// that can be held down as a player would.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "platform/core/dinput.h"
#include "platform/core/platform.h"
#include "support/engine_fixture.h"
#include "platform/testing/test_hooks.h"

class BreakoutTest : public EngineTest {
  protected:
    // The folder the engine loads its files from; empty: the test's own.
    void Start(const std::string& folder) {
                std::string error;
        ASSERT_TRUE(StartPlatform(true, platform::kDefaultClockStart, &error)) << error;
        static auto* engines = new std::vector<Engine*>;  // live to the end, as in a run
        engines->push_back(engine);
        platform::ResetInputForTest();
        saved_ = getcwd(buf_, sizeof buf_);
        ASSERT_TRUE(folder.empty() || chdir(folder.c_str()) == 0) << folder;
        InitEngine();
    }
    void TearDown() override {
        ASSERT_EQ(chdir(saved_.c_str()), 0);
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
    char buf_[4096];
    std::string saved_;
};
