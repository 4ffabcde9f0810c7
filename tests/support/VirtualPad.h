#pragma once
#include "platform/JoystickDevice.h"
#include <SDL.h>
#include <initializer_list>

// An SDL virtual game pad of 6 axes, 20 buttons and a hat, plugged in while the object lives. The program
// reads it through the real SDL path as it would a pad on the machine.
class VirtualPad {
public:
    VirtualPad() {
        SdlJoystickDevice::startSdl();
        index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 20, 1);
        handle_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
    }
    ~VirtualPad() { detach(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool ok() const { return handle_ != nullptr; }
    // Exactly these buttons (1 = the first) are held from now on.
    void hold(std::initializer_list<int> buttons) {
        for (int b = 0; b < 20; ++b)
            SDL_JoystickSetVirtualButton(handle_, b, 0);
        for (int b : buttons)
            SDL_JoystickSetVirtualButton(handle_, b - 1, 1);
    }
    void axis(int index, Sint16 value) { SDL_JoystickSetVirtualAxis(handle_, index, value); }
    void hat(Uint8 value) { SDL_JoystickSetVirtualHat(handle_, 0, value); }
    // Unplugged.
    void detach() {
        if (handle_)
            SDL_JoystickClose(handle_);
        if (index_ >= 0)
            SDL_JoystickDetachVirtual(index_);
        handle_ = nullptr;
        index_ = -1;
        SDL_JoystickUpdate();
    }
    // Whether SDL sees a pad the test did not plug in (a real one on this machine).
    static bool otherPadPresent() {
        SdlJoystickDevice::startSdl();
        SDL_JoystickUpdate();
        return SDL_NumJoysticks() > 0;
    }

private:
    int index_ = -1;
    SDL_Joystick* handle_ = nullptr;
};
