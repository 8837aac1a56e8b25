// A game controller in a real windowed run: the gallery runs in this process
// under an X server of its own, and a virtual SDL pad is plugged in, played
// and unplugged from a present listener, frame by frame. The pad reaches the
// game as keys and mouse, so the recording replays headless with no pad.
// (The gallery is the level that reads the mouse; the keys are checked in
// the recording. The shooter's ship would show them too, but in a windowed
// run its enemies come from the wall clock and may shoot it down early.)
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/run.h"
#include "game/velmor_levels.h"
#include "platform/core/platform.h"
#include "support/run_process.h"

namespace {

void Play(std::int64_t k, SDL_Joystick** pad) {
    if (k == 1) {
        // SDL passes pad input only to a window with the keyboard focus, which
        // without a window manager follows the pointer.
        if (SDL_Window* w = SDL_GetWindowFromID(1)) SDL_SetWindowInputFocus(w);
    } else if (k == 20) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
        desc.axis_mask = (1u << desc.naxes) - 1;
        desc.button_mask = (1u << desc.nbuttons) - 1;
        desc.name = "Velmor test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_TRUE(index >= 0 && SDL_IsGameController(index)) << SDL_GetError();
        *pad = SDL_JoystickOpen(index);
        // A trigger rests at the bottom of its joystick axis.
        SDL_JoystickSetVirtualAxis(*pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        SDL_JoystickSetVirtualAxis(*pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
    if (!*pad) return;
    const auto axis = [&](SDL_GameControllerAxis a, int v) {
        SDL_JoystickSetVirtualAxis(*pad, a, static_cast<Sint16>(v));
    };
    const auto button = [&](SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(*pad, b, down ? 1 : 0);
    };
    if (k == 40) axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    if (k == 40) axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    if (k == 70) axis(SDL_CONTROLLER_AXIS_RIGHTX, 0);
    if (k == 70) axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    if (k == 75) axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    if (k == 75) button(SDL_CONTROLLER_BUTTON_A, true);
    if (k == 78) axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    if (k == 78) button(SDL_CONTROLLER_BUTTON_A, false);
    if (k == 80) button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    if (k == 90) {
        SDL_JoystickClose(*pad);  // the D-pad still held
        SDL_JoystickDetachVirtual(0);
        *pad = nullptr;
    }
}

// Run under an X server by GamepadWindowed with VELMOR_PAD_DIR set.
TEST(GamepadUnderX, APadAimsFiresAndPressesKeysAndTheRunReplaysHeadless) {
    const char* dir = std::getenv("VELMOR_PAD_DIR");
    if (!dir) GTEST_SKIP() << "run by GamepadWindowed under an X server of its own";
    platform::Shutdown();  // a fresh platform context, which the run's Init takes over
    SDL_Joystick* pad = nullptr;
    const int id = platform::AddPresentListener(
        [&](std::int64_t k, const platform::PresentedImage&) { Play(k, &pad); });
    const char* argv[] = {"velmor",   "--assets", VELMOR_CONTENT_DIR, "--frames", "100",
                          "--record", "r.txt",    "--dump",           "w.jsonl"};
    ASSERT_EQ(chdir(dir), 0);
    EXPECT_EQ(RunGame(9, argv, VelmorGame()), 0);
    platform::RemovePresentListener(id);
    ASSERT_EQ(chdir(dir), 0);

    // Each change once, in the pump after the listener made it; the D-pad let
    // go by the unplugging.
    const std::string recording = ReadFile("r.txt");
    for (const char* line : {"41 key DIK_RIGHT down", "71 key DIK_RIGHT up", "76 button left down",
                             "76 key DIK_SPACE down", "79 button left up", "79 key DIK_SPACE up",
                             "81 key DIK_LEFT down", "91 key DIK_LEFT up"})
        EXPECT_EQ(Count(recording, std::string("\n") + line + "\n"), 1) << line << recording;
    EXPECT_EQ(Count(recording, " key ") + Count(recording, " button "), 8) << recording;
    // 30 pumps at full travel, 12 counts each, from the crosshair's start at 512,400.
    const std::string window = ReadFile("w.jsonl");
    const auto last = window.rfind("\"class\":\"Cursor\"");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(window.substr(last, 40).find("\"x\":872,\"y\":400"), 17u) << window.substr(last, 40);

    const auto replay = RunProcess(VELMOR_BINARY, {"--headless", "--input", "r.txt", "--frames",
                                                   "100", "--dump", "replay.jsonl"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_TRUE(ReadFile("replay.jsonl") == window) << "the headless replay differs; see " << dir;
}

TEST(GamepadWindowed, APadAimsFiresAndPressesKeysAndTheRunReplaysHeadless) {
    if (Which("Xvfb").empty()) GTEST_SKIP() << "Xvfb is missing: not run";
    const std::string dir = MakeTempDir("xpad");
    const auto r =
        RunProcess("/bin/bash", {VELMOR_SOURCE_DIR "/tests/replay/xserver.sh", "/usr/bin/env",
                                 "VELMOR_PAD_DIR=" + dir, "SDL_AUDIODRIVER=dummy",
                                 std::filesystem::read_symlink("/proc/self/exe").string(),
                                 "--gtest_filter=GamepadUnderX.*"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out;
}

}  // namespace
