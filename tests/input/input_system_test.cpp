// The engine's input system over the platform devices, fed through the same
// system events that real input arrives as: focus loss and regain.
#include <gtest/gtest.h>

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
