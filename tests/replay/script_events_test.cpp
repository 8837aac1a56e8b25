// The script events a recording needs (wheel, focus, clock, frame 0), their
// errors, and the one-line form the recorder writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/input_script.h"

namespace {

using platform::ScriptEvent;
using Kind = ScriptEvent::Kind;

std::string ErrorOf(const std::string& text) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(platform::ParseInputScript(text, "r.txt", &events, &error)) << text;
    return error;
}

TEST(ScriptEvents, EveryKindWritesTheLineItWasReadFrom) {
    const std::string text =
        "0 clock 1700000000 999\n"
        "1 focus out\n"
        "1 clock 1800000001 0\n"
        "2 focus in\n"
        "3 key DIK_LEFT down\n"
        "3 key DIK_ESCAPE up\n"
        "4 mouse -12 7\n"
        "5 wheel -3\n"
        "6 button left down\n"
        "6 button right up\n"
        "6 button middle down\n"
        "6 button 3 up\n"
        "7 close\n";
    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(platform::ParseInputScript(text, "r.txt", &events, &error)) << error;
    ASSERT_EQ(events.size(), 13u);
    EXPECT_EQ(events[7].notches, -3);
    std::string written;
    for (const ScriptEvent& e : events) written += platform::FormatScriptEvent(e) + "\n";
    EXPECT_EQ(written, text);
    // Keys without a name of their own are written as codes that read back.
    ScriptEvent key;
    key.kind = Kind::kKey;
    key.frame = 9;
    key.code = 0x54;
    key.down = true;
    EXPECT_EQ(platform::FormatScriptEvent(key), "9 key 0x54 down");
}

TEST(ScriptEvents, MalformedNewEventsNameFileAndLine) {
    EXPECT_EQ(ErrorOf("\n0 key DIK_A down\n"),
              "r.txt:2: frame 0 (the set-up before the first frame) takes clock events only");
    EXPECT_EQ(ErrorOf("1 focus on\n"), "r.txt:1: focus needs in or out: '<frame> focus out'");
    EXPECT_EQ(ErrorOf("1 wheel 1 2\n"), "r.txt:1: unexpected '2' after the event");
    for (const char* clock : {"1 clock 1700000000 1000", "1 clock 1700000000", "1 clock -5 0"})
        EXPECT_EQ(ErrorOf(clock).rfind("r.txt:1: clock needs", 0), 0u) << clock;
    for (const char* wheel : {"1 wheel up", "1 wheel 10001"})
        EXPECT_EQ(ErrorOf(wheel).rfind("r.txt:1: wheel needs", 0), 0u) << wheel;
}

}  // namespace
