// A fresh engine for one test as the global `engine` on a fresh platform
// context (windows, messages, input and listeners of earlier tests dropped);
// and one initialised on the headless platform, as a run has it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "engine/base_entity.h"
#include "engine/engine.h"
#include "engine/entity_registry.h"
#include "engine/input_system.h"
#include "platform/core/clock.h"
#include "platform/core/dinput.h"
#include "platform/core/platform.h"
#include "platform/core/window.h"
#include "platform/testing/test_hooks.h"
#include "support/run_process.h"

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::Shutdown();  // what earlier tests left goes with their context
        platform::UseVirtualClock(platform::kDefaultClockStart);
        saved_ = engine;
        engine = new Engine();
    }
    void TearDown() override {
        engine = saved_;
        platform::Shutdown();
    }
    // Runs Engine::Init headless (offscreen window, software device).
    void InitEngine() { engine->Init(GetModuleHandleA(nullptr), SW_SHOWDEFAULT); }

  private:
    Engine* saved_ = nullptr;
};

class RunningEngineTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        // They live as long as the program; what they hold of the platform
        // stops naming anything when TearDown ends the context.
        static auto* engines = new std::vector<Engine*>;
        engines->push_back(engine);
        std::string error;
        ASSERT_TRUE(StartPlatform(true, platform::kDefaultClockStart, &error)) << error;
        InitEngine();
    }
    // Takes in pending system events as the loop does, leaving window messages queued.
    static void Pump() {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    }
    // Holds or releases a key in a new frame; the keyboard sees it from its
    // next read (a press already read is no longer latched).
    static void Key(int dik, bool down) {
        platform::EndInputFrameForTest();
        platform::InjectKey(dik, down);
        Pump();
    }
    // The update of frame k sees k - 1 presented frames on the virtual clock.
    static void AtFrame(std::int64_t k) { platform::SetPresentedFramesForTest(k - 1); }
    static bool Registered(const void* entity) {
        ObjectNode* n = engine->registry->Head();
        while (n && n->value != entity) n = n->next;
        return n != nullptr;
    }
};

// Works in `dir` (else a fresh scratch folder, removed afterwards) for its lifetime.
class WorkIn {
  public:
    explicit WorkIn(std::string dir = "") : own_(dir.empty()) {
        dir_ = own_ ? MakeTempDir("work") : dir;
        EXPECT_EQ(chdir(dir_.c_str()), 0) << dir_;
    }
    ~WorkIn() {
        std::filesystem::current_path(saved_);
        if (own_) std::filesystem::remove_all(dir_);
    }
    const std::string& dir() const { return dir_; }

  private:
    std::filesystem::path saved_ = std::filesystem::current_path();
    bool own_;
    std::string dir_;
};

// A running engine in the build's content folder, so a level's files load.
class LevelTest : public RunningEngineTest {
  private:
    WorkIn content_{VELMOR_CONTENT_DIR};
};
