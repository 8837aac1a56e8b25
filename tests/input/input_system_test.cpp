// The engine's input system over the platform devices, fed through the same
// system events that real input arrives as.
#include <gtest/gtest.h>

#include "support/engine_fixture.h"

namespace {

using KeyboardTest = RunningEngineTest;
using MouseTest = RunningEngineTest;
using FocusTest = RunningEngineTest;
using DeviceTest = RunningEngineTest;

TEST_F(KeyboardTest, EveryKeyIsUpBeforeAnyInput) {
    for (int k = 0; k < 256; ++k) EXPECT_FALSE(engine->input->KeyDown(k)) << k;
    // Codes outside the table read up instead of reading past it.
    EXPECT_FALSE(engine->input->KeyDown(-1));
    EXPECT_FALSE(engine->input->KeyDown(256));
}

TEST_F(MouseTest, MotionIsConsumedByTheFirstRead) {
    platform::InjectMouseMotion(7, -3);
    platform::InjectMouseMotion(2, 1);  // one frame's motion accumulates
    Pump();
    EXPECT_EQ(engine->input->GetMouseState().lX, 9);
    EXPECT_EQ(engine->input->GetMouseState().lX, 0);
    // Motion that waits for a later frame is still all there.
    platform::InjectMouseMotion(-4, 5);
    Pump();
    Pump();
    DIMOUSESTATE m = engine->input->GetMouseState();
    EXPECT_EQ(m.lX, -4);
    EXPECT_EQ(m.lY, 5);
    platform::InjectMouseWheel(-2);  // notches read as z motion
    Pump();
    EXPECT_EQ(engine->input->GetMouseState().lZ, -240);
}

TEST_F(FocusTest, LossFailsReadsAndRegainGivesTheRealState) {
    platform::InjectKey(DIK_LEFT, true);
    platform::InjectMouseButton(0, true);
    Pump();
    ASSERT_TRUE(engine->input->KeyDown(DIK_LEFT));

    platform::InjectFocus(false);
    Pump();
    BYTE keys[256];
    EXPECT_EQ(engine->input->keyboard->GetDeviceState(sizeof(keys), keys), DIERR_INPUTLOST);
    DIMOUSESTATE raw;
    EXPECT_EQ(engine->input->mouse->GetDeviceState(sizeof(raw), &raw), DIERR_INPUTLOST);
    // The failed read keeps what the last good one read: left still down.
    EXPECT_TRUE(engine->input->KeyDown(DIK_LEFT));
    // The mouse gives no motion and no buttons while lost.
    platform::InjectMouseMotion(50, 50);
    Pump();
    DIMOUSESTATE m = engine->input->GetMouseState();
    EXPECT_EQ(m.rgbButtons[0], 0);

    // Left was let go in another window; nothing told us. After the regain
    // the first read is the real state.
    platform::InjectFocus(true);
    Pump();
    EXPECT_FALSE(engine->input->KeyDown(DIK_LEFT));
    m = engine->input->GetMouseState();
    EXPECT_EQ(m.lX, 0);  // motion made while lost does not arrive late
    EXPECT_EQ(m.rgbButtons[0], 0);
    platform::InjectKey(DIK_UP, true);
    platform::InjectMouseMotion(3, 4);
    Pump();
    EXPECT_TRUE(engine->input->KeyDown(DIK_UP));
    m = engine->input->GetMouseState();
    EXPECT_EQ(m.lX, 3);
}

TEST_F(DeviceTest, DevicesFollowTheDirectInputContract) {
    IDirectInput8A* di = nullptr;
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8A, &di, nullptr),
              DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(di, nullptr);
    ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &di, nullptr),
              DI_OK);
    IDirectInputDevice8A* device = nullptr;
    EXPECT_EQ(di->CreateDevice(IID_IDirectInput8A, &device, nullptr), DIERR_DEVICENOTREG);
    ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &device, nullptr), DI_OK);

    BYTE keys[256];
    EXPECT_EQ(device->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
    EXPECT_EQ(device->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(device->SetCooperativeLevel(engine->window, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(engine->window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DI_OK);
    EXPECT_EQ(device->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(device->Acquire(), DI_OK);
    EXPECT_EQ(device->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    EXPECT_EQ(device->GetDeviceState(16, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->GetDeviceState(sizeof(keys), keys), DI_OK);

    // Given back by the program, a device stays unacquired across a regain.
    EXPECT_EQ(device->Unacquire(), DI_OK);
    platform::InjectFocus(false);
    platform::InjectFocus(true);
    Pump();
    EXPECT_EQ(device->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);
    // A device acquired while the window is in the background gets the input
    // once the window comes to the front.
    platform::InjectFocus(false);
    Pump();
    EXPECT_EQ(device->Acquire(), DIERR_OTHERAPPHASPRIO);
    platform::InjectFocus(true);
    Pump();
    EXPECT_EQ(device->GetDeviceState(sizeof(keys), keys), DI_OK);
    device->Release();
    di->Release();
}

}  // namespace
