#pragma once

// Whether Shift or Ctrl is held down right now. The real one asks the window
// system; tests set the answers.
class KeyState {
public:
    virtual ~KeyState() = default;
    virtual bool shiftHeld() const = 0;
    virtual bool ctrlHeld() const = 0;
};

class SystemKeyState : public KeyState {
public:
    bool shiftHeld() const override;
    bool ctrlHeld() const override;
};
