// Engine fixtures: a fresh engine for one test, installed as the global
// `engine` and put back afterwards (windows and queued messages of earlier
// tests dropped); and the same engine initialised on the started headless
// platform, with the input of earlier tests forgotten, as a run has it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "engine/base_entity.h"
#include "engine/engine.h"
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

class RunningEngineTest : public EngineTest {
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
    // Holds or releases keys; the keyboard sees them from its next read.
    static void Keys(std::initializer_list<int> keys, bool down) {
        for (int k : keys) platform::InjectKey(k, down);
        Pump();
    }
    static void Key(int dik, bool down) { Keys({dik}, down); }
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
    static bool Registered(const void* entity) {
        for (ObjectNode* n = engine->registry->Head(); n; n = n->next)
            if (n->value == entity) return true;
        return false;
    }
};

// Works in `dir` (a fresh scratch folder, removed afterwards, when none is
// given) for its lifetime: the engine names its files relative to it.
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
