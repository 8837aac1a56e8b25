// The engine's input system over the platform devices, fed through the same
// system events that real input arrives as: focus loss and regain.
#include <gtest/gtest.h>

#include <string>

#include "platform/driver.h"
#include "support/engine_fixture.h"

namespace {

using InputSystemTest = RunningEngineTest;

TEST_F(InputSystemTest, FocusLossFailsReadsAndTheRegainGivesTheRealState) {
    platform::InjectKey(DIK_LEFT, true);
    platform::InjectMouseButton(0, true);
    Pump();
    ASSERT_TRUE(engine->input->KeyDown(DIK_LEFT));
    EXPECT_FALSE(engine->input->KeyDown(-1) || engine->input->KeyDown(256));  // outside: up

    platform::InjectFocus(false);
    Pump();
    BYTE keys[256];
    EXPECT_EQ(engine->input->keyboard->GetDeviceState(sizeof(keys), keys), DIERR_INPUTLOST);
    // The failed read keeps the last good one; the mouse reads no button.
    EXPECT_TRUE(engine->input->KeyDown(DIK_LEFT));
    platform::InjectMouseMotion(50, 50);
    Pump();
    EXPECT_EQ(engine->input->GetMouseState().rgbButtons[0], 0);

    // Left and the button were let go in another window, unannounced: after
    // the regain the first read is the real state, without the lost motion.
    platform::InjectFocus(true);
    platform::InjectKey(DIK_UP, true);
    platform::InjectMouseMotion(3, 4);
    Pump();
    EXPECT_FALSE(engine->input->KeyDown(DIK_LEFT));
    EXPECT_TRUE(engine->input->KeyDown(DIK_UP));
    const DIMOUSESTATE m = engine->input->GetMouseState();
    EXPECT_TRUE(m.lX == 3 && m.rgbButtons[0] == 0);
}

// Devices are polled once a frame (the engine reads the keyboard for each key
// it asks about): a tap shorter than a frame reads down in every poll of the
// next frame, and up once that frame has been presented.
TEST_F(InputSystemTest, APressAndReleaseBetweenPollsIsSeenForOneFrame) {
    auto endFrame = [] { platform::NotifyPresented({}); };
    platform::InjectKey(DIK_SPACE, true);
    platform::InjectKey(DIK_SPACE, false);
    platform::InjectMouseButton(0, true);
    platform::InjectMouseButton(0, false);
    Pump();
    EXPECT_TRUE(engine->input->KeyDown(DIK_LEFT) == false && engine->input->KeyDown(DIK_SPACE));
    EXPECT_TRUE(engine->input->KeyDown(DIK_SPACE));  // a second poll of the same frame
    EXPECT_EQ(engine->input->GetMouseState().rgbButtons[0], 0x80);
    endFrame();
    Pump();
    EXPECT_FALSE(engine->input->KeyDown(DIK_SPACE));
    EXPECT_EQ(engine->input->GetMouseState().rgbButtons[0], 0);

    // A tap nobody polled stays latched until a frame reads it; a held key
    // is simply down; a focus loss forgets taps with everything held.
    platform::InjectKey(DIK_Z, true);
    platform::InjectKey(DIK_Z, false);
    endFrame();
    EXPECT_TRUE(engine->input->KeyDown(DIK_Z));
    endFrame();
    platform::InjectKey(DIK_UP, true);
    endFrame();
    EXPECT_TRUE(engine->input->KeyDown(DIK_UP));
    endFrame();
    EXPECT_TRUE(engine->input->KeyDown(DIK_UP));
    platform::InjectKey(DIK_X, true);
    platform::InjectKey(DIK_X, false);
    platform::InjectFocus(false);
    platform::InjectFocus(true);
    Pump();
    EXPECT_FALSE(engine->input->KeyDown(DIK_X));
}

// P and F1 belong to the front end: a level reads them as up, by key and in
// the array the read fills, while every other key reads as it is.
TEST_F(InputSystemTest, ReservedKeysNeverReachTheLevel) {
    engine->input->Reserve(DIK_P);
    platform::InjectKey(DIK_P, true);
    platform::InjectKey(DIK_Q, true);
    Pump();
    EXPECT_FALSE(engine->input->KeyDown(DIK_P));
    EXPECT_EQ(engine->input->keys[DIK_P], 0);
    EXPECT_TRUE(engine->input->KeyDown(DIK_Q));
    engine->input->reserved[DIK_P] = false;
}

TEST_F(InputSystemTest, DevicesFollowTheDirectInputContract) {
    IDirectInput8A* di = nullptr;
    ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &di, nullptr),
              DI_OK);
    IDirectInputDevice8A* device = nullptr;
    ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &device, nullptr), DI_OK);
    BYTE keys[256];
    EXPECT_EQ(device->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
    EXPECT_EQ(device->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(device->Acquire(), DI_OK);
    EXPECT_EQ(device->GetDeviceState(16, keys), DIERR_INVALIDPARAM);
    // Given back by the program, a device stays unacquired across a regain.
    EXPECT_EQ(device->Unacquire(), DI_OK);
    platform::InjectFocus(false);
    platform::InjectFocus(true);
    Pump();
    EXPECT_EQ(device->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);
    device->Release();
    di->Release();
}

}  // namespace

namespace {

// A desktop driver that only notes what is asked of the pointer.
struct PointerLog {
    static inline int native = 0;
    static inline bool relative = false;
    static bool Start(std::string*) { return true; }
    static void* Create(const char*, int, int) { return &native; }
    static bool Focused(void*) { return true; }
    static void Relative(bool on) { relative = on; }
};
const platform::VideoDriver kDesktop = {
    .name = "desktop",
    .realTime = true,
    .start = PointerLog::Start,
    .stop = nullptr,
    .createWindow = PointerLog::Create,
    .showWindow = nullptr,
    .destroyWindow = nullptr,
    .pumpEvents = nullptr,
    .present = nullptr,
    .messageBox = nullptr,
    .hasFocus = PointerLog::Focused,
    .setRelativeMouse = PointerLog::Relative,
};

// The pointer is held (relative mode) only while a game that reads the
// exclusive mouse does so with the window in front; a level that never
// reads it leaves the pointer free.
TEST_F(EngineTest, ThePointerIsHeldOnlyOnceTheGameReadsTheMouse) {
    platform::InstallDrivers(platform::Drivers{.video = &kDesktop});
    std::string error;
    ASSERT_TRUE(platform::Init(platform::Config{}, &error)) << error;
    InitEngine();
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_TRUE(engine->input->KeyDown(DIK_A) == false && !PointerLog::relative);
    engine->input->GetMouseState();
    EXPECT_TRUE(PointerLog::relative);
    platform::InjectFocus(false);
    EXPECT_FALSE(PointerLog::relative);
    platform::InjectFocus(true);
    EXPECT_FALSE(PointerLog::relative);  // until the game reads it again
    engine->input->GetMouseState();
    EXPECT_TRUE(PointerLog::relative);
    engine->input->mouse->Unacquire();
    EXPECT_FALSE(PointerLog::relative);
}

}  // namespace
