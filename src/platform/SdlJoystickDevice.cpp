#include "platform/JoystickDevice.h"
#include "platform/SdlApi.h"

namespace {
const SdlApi* sdl = nullptr; // set once SDL has started
}

bool SdlJoystickDevice::startSdl() {
    static const bool started = [] {
        const SdlApi* api = loadSdlApi();
        if (!api)
            return false;
        api->SetMainReady();
        // The pad works while another window has the focus; SIGTERM and SIGINT stay the program's own.
        api->SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        api->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (api->InitSubSystem(SDL_INIT_JOYSTICK) != 0)
            return false;
        // The pad is read by state, never by SDL's events: nothing drains SDL's queue, which would otherwise
        // fill with every button and stick movement.
        api->JoystickEventState(SDL_IGNORE);
        sdl = api;
        return true;
    }();
    return started;
}

SdlJoystickDevice::SdlJoystickDevice() {
    startSdl();
}

SdlJoystickDevice::~SdlJoystickDevice() {
    if (joystick_)
        sdl->JoystickClose(joystick_);
}

SDL_Joystick* SdlJoystickDevice::open() {
    if (!startSdl())
        return nullptr;
    // Reads the devices' new states and notices devices plugged in or out.
    sdl->JoystickUpdate();
    if (joystick_ && !sdl->JoystickGetAttached(joystick_)) {
        sdl->JoystickClose(joystick_);
        joystick_ = nullptr;
    }
    if (!joystick_ && sdl->NumJoysticks() > 0)
        joystick_ = sdl->JoystickOpen(0);
    return joystick_;
}

std::optional<JoystickDevice::Capabilities> SdlJoystickDevice::capabilities() {
    SDL_Joystick* joystick = open();
    if (!joystick)
        return std::nullopt;
    Capabilities caps;
    caps.buttons = std::max(0, sdl->JoystickNumButtons(joystick));
    const int axes = sdl->JoystickNumAxes(joystick);
    for (int axis = 2; axis < 6; ++axis)
        if (axes > axis)
            caps.flags |= 1u << (axis - 2);
    if (sdl->JoystickNumHats(joystick) > 0)
        caps.flags |= 1u << 4;
    return caps;
}

std::optional<JoystickDevice::Position> SdlJoystickDevice::position() {
    SDL_Joystick* joystick = open();
    if (!joystick)
        return std::nullopt;
    Position position;
    const int axes = sdl->JoystickNumAxes(joystick);
    for (int axis = 0; axis < 6; ++axis)
        // An axis the device lacks stands in the centre.
        position.axes[axis] = axis < axes ? sdl->JoystickGetAxis(joystick, axis) + 32768.0 : 32767.0;
    const int buttons = std::min(sdl->JoystickNumButtons(joystick), 32);
    for (int button = 0; button < buttons; ++button)
        if (sdl->JoystickGetButton(joystick, button))
            position.buttons |= 1u << button;
    if (sdl->JoystickNumHats(joystick) > 0) {
        switch (sdl->JoystickGetHat(joystick, 0)) {
        case SDL_HAT_UP:
            position.hat = 0;
            break;
        case SDL_HAT_RIGHTUP:
            position.hat = 4500;
            break;
        case SDL_HAT_RIGHT:
            position.hat = 9000;
            break;
        case SDL_HAT_RIGHTDOWN:
            position.hat = 13500;
            break;
        case SDL_HAT_DOWN:
            position.hat = 18000;
            break;
        case SDL_HAT_LEFTDOWN:
            position.hat = 22500;
            break;
        case SDL_HAT_LEFT:
            position.hat = 27000;
            break;
        case SDL_HAT_LEFTUP:
            position.hat = 31500;
            break;
        default:
            position.hat = 65535;
            break;
        }
    }
    return position;
}
