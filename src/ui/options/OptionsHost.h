#pragma once
#include <QColor>
#include <QString>

// What the options window asks of the main window.
class JoystickDevice;

class OptionsHost {
public:
    virtual ~OptionsHost() = default;
    virtual QString presetCaption(int index) const = 0;
    virtual void setPresetCaption(int index, const QString& caption) = 0;
    virtual void applyStartColour(const QColor& colour) = 0;
    // The file browser's lists take the pattern list and list again.
    virtual void setBrowserPattern(const QString& pattern) = 0;
    virtual void setJoystickPolling(bool on) = 0;
    virtual void pressOnTop() = 0;
    // One of the four whole-playlist buttons (PlaylistEditing::TabMoveButton).
    virtual void moveWholePlaylist(int button) = 0;
    // The folder the file browser shows, where the save dialogs start.
    virtual QString browserFolder() const = 0;
    // The count under the lists shows the shown playlist's length again.
    virtual void showPlaylistCount() = 0;
    // The engine takes the playback settings OK stored.
    virtual void applyPlaybackSettings() = 0;
    // The game pad the learn buttons read.
    virtual JoystickDevice& joystick() = 0;
};
