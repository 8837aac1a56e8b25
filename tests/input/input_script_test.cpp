// The --input script format: every kind of event read (comments, names in
// any case, hex codes, frames in any order) and written back in the one-line
// form the recorder writes; malformed lines rejected with file and line.
// (An unreadable script is in the command-line tests.)
#include "platform/core/input_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_process.h"

namespace {

using platform::ScriptEvent;

std::string Formatted(const std::string& text) {
    std::vector<ScriptEvent> events;
    std::string error, out;
    EXPECT_TRUE(platform::ParseInputScript(text, "t.txt", &events, &error)) << error;
    for (const ScriptEvent& e : events) out += platform::FormatScriptEvent(e) + "\n";
    return out;
}

TEST(InputScript, ReadsEveryKindInFrameOrderAndWritesItBack) {
    EXPECT_EQ(Formatted("# a comment line\n\n9 close\n"
                        "3 key DIK_LEFT down   # trailing comment\n  4\tkey 0xcb up\r\n"
                        "5 key dik_space down\n5 key 0x02 up\n6 mouse -12 7\n6 wheel -3\n"
                        "7 button left down\n7 button 1 down\n7 button middle up\n7 button 3 up\n"
                        "0 clock 1700000000 999\n1 focus out\n1 clock 1800000001 0\n2 focus in\n"
                        "   # indented comment"),
              "0 clock 1700000000 999\n1 focus out\n1 clock 1800000001 0\n2 focus in\n"
              "3 key DIK_LEFT down\n4 key DIK_LEFT up\n5 key DIK_SPACE down\n5 key DIK_1 up\n"
              "6 mouse -12 7\n6 wheel -3\n7 button left down\n7 button right down\n"
              "7 button middle up\n7 button 3 up\n9 close\n");
    EXPECT_EQ(Formatted(""), "");
}

TEST(InputScript, MalformedLinesAreOneLineNamingFileAndLine) {
    const char* const bad[][2] = {
        {"x close", "frame"},
        {"2", "event"},
        {"2 jump", "unknown event 'jump'"},
        {"2 key DIK_NOPE down", "unknown key 'DIK_NOPE'"},
        {"2 key 0x100 down", "0x100"},
        {"2 key 0x54 down", "not a key of the keyboard"},
        {"2 key DIK_A sideways", "down or up"},
        {"2 key DIK_A down up", "unexpected 'up'"},
        {"2 mouse 1 2000000", "mouse needs"},
        {"2 button 4 down", "unknown button '4'"},
        {"0 key DIK_A down", "frame 0 (the set-up before the first frame) takes clock events only"},
        {"1 focus on", "focus needs in or out: '<frame> focus out'"},
        {"1 wheel 10001", "wheel needs"},
        {"1 clock 1700000000 1000", "clock needs"},
        {"1 clock -5 0", "clock needs"},
    };
    for (const auto& [line, says] : bad) {
        std::vector<ScriptEvent> events;
        std::string error;
        const std::string text =
            std::string("# fine\n1 key DIK_UP down\n\n") + line + "\n4 close\n";
        EXPECT_FALSE(platform::ParseInputScript(text, "t.txt", &events, &error)) << line;
        EXPECT_EQ(error.rfind("t.txt:4: ", 0), 0u) << line << " -> " << error;
        EXPECT_NE(error.find(says), std::string::npos) << line << " -> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// Without a display: a malformed script stops velmor before it opens its
// window (which would fail first), and a windowed run says how to run instead.
TEST(InputScriptCli, MalformedScriptStopsVelmorBeforeAnyWindow) {
    const std::string dir = MakeTempDir("input-cli");
    WriteFile(dir + "/bad.txt", "1 key DIK_LEFT down\n\n3 mouse 1\n");
    const std::vector<std::string> noDisplay = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    const auto r =
        RunProcess(VELMOR_BINARY, {"--input", "bad.txt", "--frames", "5"}, noDisplay, dir);
    EXPECT_TRUE(r.status == 2 && r.out.empty());
    EXPECT_EQ(r.err, "velmor: bad.txt:3: mouse needs two whole numbers dx dy within +-1000000\n");
    const auto w = RunProcess(VELMOR_BINARY, {"--frames", "1"}, noDisplay);
    EXPECT_EQ(w.status, 2);
    EXPECT_TRUE(w.err.find("--headless") != std::string::npos &&
                w.err.find("xvfb-run") != std::string::npos)
        << w.err;
}

}  // namespace
