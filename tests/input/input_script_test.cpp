// The --input script format.
#include "platform/core/input_script.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/core/dinput.h"
#include "support/run_process.h"

namespace {

using platform::ScriptEvent;
using Kind = platform::ScriptEvent::Kind;

std::vector<ScriptEvent> Parse(const std::string& text) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_TRUE(platform::ParseInputScript(text, "t.txt", &events, &error)) << error;
    return events;
}

std::string ErrorOf(const std::string& text) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(platform::ParseInputScript(text, "t.txt", &events, &error)) << text;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
}

TEST(InputScript, ReadsEveryKindOfEventWithCommentsNamesAndHexCodes) {
    const auto events = Parse(
        "# a comment line\n"
        "\n"
        "3 key DIK_LEFT down   # trailing comment\n"
        "  4\tkey 0xcb up\r\n"
        "5 key dik_space down\n"
        "5 key 0x02 up\n"
        "6 mouse -12 7\n"
        "7 button left down\n"
        "7 button 1 down\n"
        "7 button middle up\n"
        "7 button 3 up\n"
        "9 close\n"
        "   # indented comment");
    // frame, kind, code, down, dx, dy
    const std::vector<std::tuple<int, Kind, int, bool, int, int>> expected = {
        {3, Kind::kKey, DIK_LEFT, true, 0, 0},  {4, Kind::kKey, 0xCB, false, 0, 0},
        {5, Kind::kKey, DIK_SPACE, true, 0, 0}, {5, Kind::kKey, DIK_1, false, 0, 0},
        {6, Kind::kMouse, 0, false, -12, 7},    {7, Kind::kButton, 0, true, 0, 0},
        {7, Kind::kButton, 1, true, 0, 0},      {7, Kind::kButton, 2, false, 0, 0},
        {7, Kind::kButton, 3, false, 0, 0},     {9, Kind::kClose, 0, false, 0, 0},
    };
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const ScriptEvent& e = events[i];
        const bool mouse = e.kind == Kind::kMouse, close = e.kind == Kind::kClose;
        EXPECT_EQ(std::make_tuple(static_cast<int>(e.frame), e.kind, mouse || close ? 0 : e.code,
                                  !mouse && !close && e.down, mouse ? e.dx : 0, mouse ? e.dy : 0),
                  expected[i])
            << "event " << i;
    }
    EXPECT_EQ(events[1].line, 4);
    EXPECT_TRUE(Parse("").empty());
}

TEST(InputScript, EventsComeInFrameOrderAndKeepTheirOrderWithinAFrame) {
    const auto events = Parse("9 close\n2 key DIK_Z down\n2 key DIK_Z up\n1 mouse 1 1\n");
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].frame, 1);
    EXPECT_TRUE(events[1].down && !events[2].down);
    EXPECT_EQ(events[3].kind, Kind::kClose);
}

TEST(InputScript, MalformedLinesAreRejectedWithTheirLineNumbers) {
    const std::string good = "# fine\n1 key DIK_UP down\n";
    const struct {
        std::string line;
        std::string says;
    } bad[] = {
        {"x close", "frame"},
        {"2", "event"},
        {"2 jump", "unknown event 'jump'"},
        {"2 key DIK_NOPE down", "unknown key 'DIK_NOPE'"},
        {"2 key 0x100 down", "0x100"},
        {"2 key 0x54 down", "not a key of the keyboard"},
        {"2 key DIK_A sideways", "down or up"},
        {"2 key DIK_A", "key needs"},
        {"2 mouse 1 2000000", "mouse needs"},
        {"2 button 4 down", "unknown button '4'"},
        {"2 key DIK_A down up", "unexpected 'up'"},
    };
    for (const auto& b : bad) {
        const std::string error = ErrorOf(good + "\n" + b.line + "\n4 close\n");
        EXPECT_EQ(error.rfind("t.txt:4: ", 0), 0u) << b.line << " -> " << error;
        EXPECT_NE(error.find(b.says), std::string::npos) << b.line << " -> " << error;
    }
}

TEST(InputScript, UnreadableFileIsOneLine) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(platform::LoadInputScript("/nonexistent/script.txt", &events, &error));
    EXPECT_EQ(error.rfind("/nonexistent/script.txt: cannot read", 0), 0u) << error;
}

TEST(InputScriptCli, MalformedScriptStopsVelmorBeforeAnyWindow) {
    const std::string dir = MakeTempDir("input-cli");
    WriteFile(dir + "/bad.txt", "1 key DIK_LEFT down\n\n3 mouse 1\n");
    // No display: a program that opened its window first would say so.
    const auto r = RunProcess(VELMOR_BINARY, {"--input", "bad.txt", "--frames", "5"},
                              {"DISPLAY", "WAYLAND_DISPLAY"}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "velmor: bad.txt:3: mouse needs two whole numbers dx dy within +-1000000\n");
    EXPECT_EQ(r.out, "");
}

}  // namespace
