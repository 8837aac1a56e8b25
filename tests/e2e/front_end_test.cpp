// The title menu and the front end every level has (P, F1, Escape), driven
// headless by scripts and observed through dumps, screenshots and audio.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/run_output.h"
#include "support/wave_image.h"

namespace {

// Runs velmor headless with `args` and the script `lines`; the dump is
// returned frame by frame.
std::vector<std::string> Play(const std::string& dir, const std::string& tag,
                              std::vector<std::string> args, const std::string& lines) {
    const std::string script = dir + "/" + tag + ".in", dump = dir + "/" + tag + ".jsonl";
    WriteFile(script, lines);
    args.insert(args.end(), {"--headless", "--input", script, "--dump", dump});
    const auto r = RunProcess(VELMOR_BINARY, args);
    EXPECT_EQ(r.status, 0) << tag << ": " << r.err;
    return DumpFrames(dump);
}

// The savanna from the menu, paused for a second, left with Escape, and
// started again at frame 300 (the clock then reads 4 s on, the second paused
// away): from there it is the same game, frame for frame, as a fresh run
// started at that time with the same keys, and a recording of the whole menu
// run replays to the same dump.
TEST(Menu, ALevelStartedAgainIsAFreshGameAndTheRunReplays) {
    const std::string dir = MakeTempDir("menu");
    const std::string keys =
        "10 key DIK_1 down\n12 key DIK_1 up\n20 key DIK_2 down\n24 key DIK_2 up\n"
        "40 key DIK_6 down\n41 key DIK_6 up\n";
    const auto fresh =
        Play(dir, "fresh", {"--level", "savanna", "--frames", "300", "--clock-start", "1700000004"},
             keys);
    const std::string menuScript =
        "30 key DIK_DOWN down\n31 key DIK_DOWN up\n59 key DIK_RETURN down\n60 key DIK_RETURN up\n"
        "70 key DIK_2 down\n74 key DIK_2 up\n100 key DIK_P down\n101 key DIK_P up\n"
        "160 key DIK_P down\n161 key DIK_P up\n170 key DIK_ESCAPE down\n171 key DIK_ESCAPE up\n"
        "299 key DIK_RETURN down\n300 key DIK_RETURN up\n"
        "310 key DIK_1 down\n312 key DIK_1 up\n320 key DIK_2 down\n324 key DIK_2 up\n"
        "340 key DIK_6 down\n341 key DIK_6 up\n";
    const std::string record = dir + "/menu.rec";
    const auto menu =
        Play(dir, "menu", {"--menu", "--frames", "600", "--record", record}, menuScript);
    ASSERT_EQ(fresh.size(), 301u);
    ASSERT_EQ(menu.size(), 601u);
    EXPECT_NE(menu[1].find("\"class\":\"BitmapText\""), std::string::npos);  // the menu
    // Back on the menu after the first game, the savanna still chosen, nothing of it left.
    EXPECT_EQ(menu[200].find("GrassNode"), std::string::npos);
    EXPECT_NE(menu[200].find("\"x\":66,\"y\":266"), std::string::npos);
    for (int k = 1; k <= 300; ++k) {
        const std::string& a = fresh[static_cast<std::size_t>(k)];
        const std::string& b = menu[static_cast<std::size_t>(k + 300)];
        ASSERT_EQ(a.substr(a.find(",\"entities\"")), b.substr(b.find(",\"entities\"")))
            << "frame " << k << " of the second game";
    }
    EXPECT_EQ(Play(dir, "replay", {"--menu", "--frames", "600"}, ReadFile(record)), menu);
}

// The pointer picks a row and a click starts it; Escape leaves the level.
// Space held to start breakout again does not also launch its ball: the
// level starts once the key is let go. Escape on the menu ends the run the
// way closing the window does.
TEST(Menu, TheMouseChoosesAndEscapeOnTheMenuQuits) {
    const std::string dir = MakeTempDir("menu");
    // The pointer starts at the centre; the breakout row is the fifth.
    const auto frames = Play(dir, "mouse", {"--menu", "--frames", "300"},
                             "5 mouse 0 280\n10 button left down\n11 button left up\n"
                             "40 key DIK_ESCAPE down\n41 key DIK_ESCAPE up\n"
                             "50 key DIK_SPACE down\n60 key DIK_SPACE up\n"
                             "80 key DIK_ESCAPE down\n81 key DIK_ESCAPE up\n"
                             "90 key DIK_ESCAPE down\n91 key DIK_ESCAPE up\n");
    ASSERT_GT(frames.size(), 75u);
    auto has = [&](int frame, const char* what) {
        return frames[static_cast<std::size_t>(frame)].find(what) != std::string::npos;
    };
    EXPECT_TRUE(has(20, "\"class\":\"Brick\""));
    EXPECT_FALSE(has(45, "\"class\":\"Brick\""));
    EXPECT_FALSE(has(59, "\"class\":\"Brick\""));
    EXPECT_TRUE(has(75, "\"class\":\"Brick\"") && has(75, "\"speed\":0,"));
    EXPECT_LT(frames.size(), 100u);  // quit soon after frame 90
}

// P holds the gallery still for 60 frames: no update, the clock and the
// gunshot stand, and afterwards the game is the unpaused game 60 frames
// later. The frame shows a panel while paused and F1 another with the
// controls; neither key does anything else.
TEST(FrontEnd, PauseHoldsTheLevelItsClockAndItsSound) {
    const std::string dir = MakeTempDir("pause");
    const std::string shot = "20 mouse 40 -30\n24 button left down\n26 button left up\n";
    const std::vector<std::string> args = {"--level", "sprite", "--frames", "260"};
    std::vector<std::string> plain = args, paused = args;
    plain.insert(plain.end(), {"--audio-out", dir + "/plain.wav"});
    paused.insert(
        paused.end(),
        {"--audio-out", dir + "/paused.wav", "--screenshot", "50:" + dir + "/paused.png",
         "--screenshot", "120:" + dir + "/help.png", "--screenshot", "140:" + dir + "/plain.png"});
    const auto a = Play(dir, "plain", plain, shot);
    const auto b = Play(dir, "paused", paused,
                        shot +
                            "30 key DIK_P down\n31 key DIK_P up\n90 key DIK_P down\n"
                            "91 key DIK_P up\n110 key DIK_F1 down\n111 key DIK_F1 up\n"
                            "130 key DIK_F1 down\n131 key DIK_F1 up\n");
    ASSERT_TRUE(a.size() == 261u && b.size() == 261u);
    auto entities = [](const std::string& line) { return line.substr(line.find(",\"entities\"")); };
    for (int k = 1; k < 30; ++k) EXPECT_EQ(entities(a[k]), entities(b[k])) << k;
    for (int k = 30; k < 90; ++k) EXPECT_EQ(entities(b[k]), entities(b[29])) << k;
    for (int k = 90; k <= 260; ++k) ASSERT_EQ(entities(b[k]), entities(a[k - 60])) << k;

    constexpr std::size_t kBlock = 735 * 2;  // one frame of stereo samples
    const auto wa = ReadWave16(dir + "/plain.wav"), wb = ReadWave16(dir + "/paused.wav");
    ASSERT_TRUE(wa.size() == 260 * kBlock && wb.size() == wa.size());
    auto block = [&](const std::vector<std::int16_t>& w, int frame) {
        return std::vector<std::int16_t>(w.begin() + (frame - 1) * kBlock,
                                         w.begin() + frame * kBlock);
    };
    EXPECT_NE(block(wa, 30), std::vector<std::int16_t>(kBlock, 0));  // the shot still sounds
    for (int k = 30; k < 90; ++k) EXPECT_EQ(block(wb, k), std::vector<std::int16_t>(kBlock, 0));
    for (int k = 90; k <= 120; ++k) EXPECT_EQ(block(wb, k), block(wa, k - 60)) << k;

    // The panels' gold edge: the pause panel above the centre, the help panel below it.
    const Shot pausedShot = LoadShot(dir + "/paused.png"), help = LoadShot(dir + "/help.png"),
               none = LoadShot(dir + "/plain.png");
    constexpr std::uint32_t kEdge = 0xFFB08A2E;
    EXPECT_EQ(pausedShot.At(512, 151), kEdge);
    EXPECT_NE(help.At(512, 151), kEdge);
    EXPECT_EQ(help.At(512, 301), kEdge);
    EXPECT_NE(none.At(512, 151), kEdge);
    EXPECT_NE(none.At(512, 301), kEdge);
}

}  // namespace
