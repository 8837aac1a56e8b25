#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/base_entity.h"
#include "engine/base_level.h"
#include "engine/engine.h"
#include "engine/renderer.h"
#include "support/engine_fixture.h"

namespace {

std::vector<std::string> trace;

// An entity that records its calls and can run a hook inside its Update.
class Probe : public BaseEntity {
  public:
    explicit Probe(std::string name, std::int32_t k = 1) : name_(std::move(name)) {
        kind = k;
        engine->registry->Add(this, kind);
    }
    void Update() override {
        trace.push_back("u:" + name_);
        cursorAtEntry = engine->registry->GetCursor();
        if (onUpdate) onUpdate();
    }
    void Render() override { trace.push_back("r:" + name_); }
    std::function<void()> onUpdate;
    ObjectNode* cursorAtEntry = nullptr;

  private:
    std::string name_;
};

class CountingLevel : public BaseLevel {
  public:
    void Update() override {
        ++updates;
        trace.push_back("level");
    }
    int updates = 0;
};

class EngineWalk : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        trace.clear();
    }
};

TEST_F(EngineWalk, AddedDuringWalkIsVisitedAndSelfRemovalSkipsNext) {
    Probe p("P"), q("Q"), r("R");
    Probe* s = nullptr;
    p.onUpdate = [&] {
        if (!s) s = new Probe("S");
    };
    engine->UpdateEntities();
    EXPECT_EQ(trace, (std::vector<std::string>{"u:P", "u:Q", "u:R", "u:S"}));

    trace.clear();
    q.onUpdate = [&] { engine->registry->Remove(&q); };
    engine->UpdateEntities();
    // R moved into Q's index, which has been visited: it misses this walk.
    EXPECT_EQ(trace, (std::vector<std::string>{"u:P", "u:Q", "u:S"}));
    trace.clear();
    engine->UpdateEntities();
    EXPECT_EQ(trace, (std::vector<std::string>{"u:P", "u:R", "u:S"}));
}

TEST_F(EngineWalk, CursorStartsAtHeadAndIsRestoredAroundEachCall) {
    Probe p("P", 1), q("Q", 2), r("R", 1);
    // P searches the registry, which moves the cursor off the end.
    p.onUpdate = [&] {
        while (engine->registry->Find(1)) {
        }
    };
    engine->UpdateEntities();
    EXPECT_EQ(p.cursorAtEntry, engine->registry->Head());
    EXPECT_EQ(q.cursorAtEntry, engine->registry->Head());
    EXPECT_EQ(r.cursorAtEntry, engine->registry->Head());
}

TEST_F(EngineWalk, LevelLoopHandlesOneMessagePerPassAndStopsOnQuit) {
    InitEngine();
    Probe p("P");
    CountingLevel level;
    for (int i = 0; i < 3; ++i) PostMessageA(engine->window, WM_USER, 0, 0);
    PostQuitMessage(0);
    level.Run();
    // Three passes each dispatch one message and run an update and a frame;
    // the fourth removes the quit message and runs nothing.
    EXPECT_EQ(level.updates, 3);
    EXPECT_EQ(engine->renderer->device->PresentCount(), 3);
    EXPECT_EQ(trace, (std::vector<std::string>{"level", "u:P", "r:P", "level", "u:P", "r:P",
                                               "level", "u:P", "r:P"}));
    EXPECT_EQ(level.startTime, platform::kDefaultClockStart);
}

TEST_F(EngineWalk, ClosingTheWindowEndsTheLoopAfterTheClosingPass) {
    InitEngine();
    CountingLevel level;
    PostMessageA(engine->window, WM_CLOSE, 0, 0);
    level.Run();
    // The pass that dispatched the close still updated and presented.
    EXPECT_EQ(level.updates, 1);
    EXPECT_EQ(engine->renderer->device->PresentCount(), 1);
    EXPECT_FALSE(IsWindow(engine->window));
}

TEST_F(EngineWalk, EngineRunDrainsAllMessagesBeforeAFrame) {
    InitEngine();
    Probe p("P");
    int frames = 0;
    // Once the first frame has been drawn, ask the loop to quit.
    p.onUpdate = [&] {
        if (++frames == 1) PostQuitMessage(0);
    };
    for (int i = 0; i < 3; ++i) PostMessageA(engine->window, WM_USER, 0, 0);
    engine->Run();
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(engine->renderer->device->PresentCount(), 1);
    EXPECT_EQ(platform::PendingMessageCount(), 0);
}

}  // namespace
