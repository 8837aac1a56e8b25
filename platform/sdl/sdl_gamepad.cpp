#include "platform/sdl/sdl_gamepad.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/core/dinput.h"
#include "platform/sdl/gamepad_mapper.h"

namespace platform::sdl {
namespace {

// The mapper numbers buttons and axes as SDL does.
static_assert(static_cast<int>(PadButton::kA) == SDL_CONTROLLER_BUTTON_A);
static_assert(static_cast<int>(PadButton::kB) == SDL_CONTROLLER_BUTTON_B);
static_assert(static_cast<int>(PadButton::kX) == SDL_CONTROLLER_BUTTON_X);
static_assert(static_cast<int>(PadButton::kY) == SDL_CONTROLLER_BUTTON_Y);
static_assert(static_cast<int>(PadButton::kBack) == SDL_CONTROLLER_BUTTON_BACK);
static_assert(static_cast<int>(PadButton::kGuide) == SDL_CONTROLLER_BUTTON_GUIDE);
static_assert(static_cast<int>(PadButton::kStart) == SDL_CONTROLLER_BUTTON_START);
static_assert(static_cast<int>(PadButton::kLeftStick) == SDL_CONTROLLER_BUTTON_LEFTSTICK);
static_assert(static_cast<int>(PadButton::kRightStick) == SDL_CONTROLLER_BUTTON_RIGHTSTICK);
static_assert(static_cast<int>(PadButton::kLeftShoulder) == SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
static_assert(static_cast<int>(PadButton::kRightShoulder) == SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
static_assert(static_cast<int>(PadButton::kDpadUp) == SDL_CONTROLLER_BUTTON_DPAD_UP);
static_assert(static_cast<int>(PadButton::kDpadDown) == SDL_CONTROLLER_BUTTON_DPAD_DOWN);
static_assert(static_cast<int>(PadButton::kDpadLeft) == SDL_CONTROLLER_BUTTON_DPAD_LEFT);
static_assert(static_cast<int>(PadButton::kDpadRight) == SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
static_assert(static_cast<int>(PadAxis::kLeftX) == SDL_CONTROLLER_AXIS_LEFTX);
static_assert(static_cast<int>(PadAxis::kLeftY) == SDL_CONTROLLER_AXIS_LEFTY);
static_assert(static_cast<int>(PadAxis::kRightX) == SDL_CONTROLLER_AXIS_RIGHTX);
static_assert(static_cast<int>(PadAxis::kRightY) == SDL_CONTROLLER_AXIS_RIGHTY);
static_assert(static_cast<int>(PadAxis::kLeftTrigger) == SDL_CONTROLLER_AXIS_TRIGGERLEFT);
static_assert(static_cast<int>(PadAxis::kRightTrigger) == SDL_CONTROLLER_AXIS_TRIGGERRIGHT);

GamepadMapper mapper;
std::vector<std::pair<SDL_JoystickID, SDL_GameController*>> pads;

void Deliver() {
    for (const GamepadMapper::Event& e : mapper.Take()) {
        switch (e.kind) {
            case GamepadMapper::Event::Kind::kKey:
                InjectKey(e.code, e.down);
                break;
            case GamepadMapper::Event::Kind::kMouseButton:
                InjectMouseButton(e.code, e.down);
                break;
            case GamepadMapper::Event::Kind::kMotion:
                InjectMouseMotion(e.dx, e.dy);
                break;
        }
    }
}

auto Find(SDL_JoystickID id) {
    return std::find_if(pads.begin(), pads.end(), [&](const auto& p) { return p.first == id; });
}

void Open(int deviceIndex) {
    SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
    if (!c) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
    // A pad announced twice is opened once: the second open only counted
    // another reference.
    if (Find(id) != pads.end()) {
        SDL_GameControllerClose(c);
        return;
    }
    pads.emplace_back(id, c);
}

void Close(SDL_JoystickID id) {
    const auto it = Find(id);
    if (it == pads.end()) return;
    SDL_GameControllerClose(it->second);
    pads.erase(it);
    mapper.RemovePad(id);
    Deliver();
}

}  // namespace

void StartGamepads() {
    // Pads present now are announced as added by the first pump.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void StopGamepads() {
    for (const auto& [id, c] : pads) SDL_GameControllerClose(c);
    pads.clear();
    mapper = GamepadMapper{};
}

void OnKeyboardKey(int dik, bool down) {
    mapper.Key(dik, down);
    Deliver();
}

void OnMouseButton(int button, bool down) {
    mapper.MouseButton(button, down);
    Deliver();
}

void OnGamepadEvent(const SDL_Event& e) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            Open(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            Close(e.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            // Events still queued from a pad that has gone are dropped.
            if (Find(e.cbutton.which) == pads.end()) break;
            mapper.Button(e.cbutton.which, static_cast<PadButton>(e.cbutton.button),
                          e.type == SDL_CONTROLLERBUTTONDOWN);
            Deliver();
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (Find(e.caxis.which) == pads.end()) break;
            mapper.Axis(e.caxis.which, static_cast<PadAxis>(e.caxis.axis), e.caxis.value);
            Deliver();
            break;
        default:
            break;
    }
}

void OnPumpEnd() {
    mapper.EndPump();
    Deliver();
}

}  // namespace platform::sdl
