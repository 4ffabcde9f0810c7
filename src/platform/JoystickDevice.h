#pragma once
#include <QtGlobal>
#include <array>
#include <optional>

// The first joystick or game pad of the system, read afresh at every call. Axes run from 0 to 65535 with the
// centre in the middle; the hat gives hundredths of a degree clockwise from forward, 65535 when centred.
class JoystickDevice {
public:
    struct Capabilities {
        int buttons = 0;
        // Bit 0: a Z axis; 1: R; 2: U; 3: V; 4: a point-of-view hat.
        quint32 flags = 0;
    };
    struct Position {
        std::array<double, 6> axes{}; // X, Y, Z, R, U, V
        quint32 buttons = 0;          // bit 0 = button 1
        double hat = 65535;
    };

    virtual ~JoystickDevice() = default;
    // Nothing when no device is attached.
    virtual std::optional<Capabilities> capabilities() = 0;
    virtual std::optional<Position> position() = 0;
};

// The real device through SDL's joystick subsystem (no window or video). A pad plugged in after the start is
// found at the next read.
class SdlJoystickDevice : public JoystickDevice {
public:
    SdlJoystickDevice();
    ~SdlJoystickDevice() override;
    std::optional<Capabilities> capabilities() override;
    std::optional<Position> position() override;

    // Starts SDL's joystick subsystem once for the run; false when SDL cannot.
    static bool startSdl();

private:
    // The opened first joystick, opened again after it was unplugged; null when there is none.
    struct _SDL_Joystick* open();
    struct _SDL_Joystick* joystick_ = nullptr;
};
