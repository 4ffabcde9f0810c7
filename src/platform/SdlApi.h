#pragma once
#include <SDL.h>

// The SDL functions the program calls for a game pad. SDL and the sound, video and codec libraries it pulls
// in are loaded when a pad is first looked for, not when the program starts: a run without a pad never pays
// for them.
struct SdlApi {
    decltype(&::SDL_SetMainReady) SetMainReady;
    decltype(&::SDL_SetHint) SetHint;
    decltype(&::SDL_InitSubSystem) InitSubSystem;
    decltype(&::SDL_JoystickEventState) JoystickEventState;
    decltype(&::SDL_JoystickClose) JoystickClose;
    decltype(&::SDL_JoystickUpdate) JoystickUpdate;
    decltype(&::SDL_JoystickGetAttached) JoystickGetAttached;
    decltype(&::SDL_NumJoysticks) NumJoysticks;
    decltype(&::SDL_JoystickOpen) JoystickOpen;
    decltype(&::SDL_JoystickNumButtons) JoystickNumButtons;
    decltype(&::SDL_JoystickNumAxes) JoystickNumAxes;
    decltype(&::SDL_JoystickNumHats) JoystickNumHats;
    decltype(&::SDL_JoystickGetAxis) JoystickGetAxis;
    decltype(&::SDL_JoystickGetButton) JoystickGetButton;
    decltype(&::SDL_JoystickGetHat) JoystickGetHat;
};

// Loads SDL 2 on the first call and keeps it for the rest of the run; null when it is missing or lacks a
// function (the pad is then never found).
const SdlApi* loadSdlApi();
