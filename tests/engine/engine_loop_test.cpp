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
    void Update() override { trace.push_back("level"); }
};

class EngineWalk : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        trace.clear();
    }
};

// Each entity's Update starts with the cursor at the head, whatever the one
// before did with it (P's search runs it off the end).
TEST_F(EngineWalk, AddedDuringWalkIsVisitedAndSelfRemovalSkipsNext) {
    Probe p("P"), q("Q"), r("R");
    Probe* s = nullptr;
    p.onUpdate = [&] {
        if (!s) s = new Probe("S");
        while (engine->registry->Find(1)) {
        }
    };
    engine->UpdateEntities();
    EXPECT_EQ(trace, (std::vector<std::string>{"u:P", "u:Q", "u:R", "u:S"}));
    EXPECT_EQ(q.cursorAtEntry, engine->registry->Head());
    EXPECT_EQ(r.cursorAtEntry, engine->registry->Head());

    trace.clear();
    q.onUpdate = [&] { engine->registry->Remove(&q); };
    engine->UpdateEntities();
    // R moved into Q's index, which has been visited: it misses this walk.
    EXPECT_EQ(trace, (std::vector<std::string>{"u:P", "u:Q", "u:S"}));
    trace.clear();
    engine->UpdateEntities();
    EXPECT_EQ(trace, (std::vector<std::string>{"u:P", "u:R", "u:S"}));
}

// Each pass dispatches one message and runs an update and a frame; the pass
// that takes the quit message runs nothing, the one that closes the window
// still updates and presents.
TEST_F(EngineWalk, LevelLoopHandlesOneMessagePerPassAndStopsOnQuitOrClose) {
    InitEngine();
    Probe p("P");
    CountingLevel level;
    for (int i = 0; i < 2; ++i) PostMessageA(engine->window, WM_USER, 0, 0);
    PostQuitMessage(0);
    level.Run();
    EXPECT_EQ(engine->renderer->device->PresentCount(), 2);
    EXPECT_EQ(trace, (std::vector<std::string>{"level", "u:P", "r:P", "level", "u:P", "r:P"}));
    EXPECT_EQ(level.startTime, platform::kDefaultClockStart);
    PostMessageA(engine->window, WM_CLOSE, 0, 0);
    level.Run();
    EXPECT_EQ(engine->renderer->device->PresentCount(), 3);
    EXPECT_FALSE(IsWindow(engine->window));
}

TEST_F(EngineWalk, EngineRunDrainsAllMessagesBeforeAFrame) {
    InitEngine();
    Probe p("P");
    p.onUpdate = [] { PostQuitMessage(0); };
    for (int i = 0; i < 3; ++i) PostMessageA(engine->window, WM_USER, 0, 0);
    engine->Run();
    EXPECT_EQ(engine->renderer->device->PresentCount(), 1);
    EXPECT_EQ(platform::PendingMessageCount(), 0);
}

}  // namespace
