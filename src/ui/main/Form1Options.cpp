// Opening the options window.
#include "core/AppState.h"
#include "playback/Transport.h"
#include "ui/main/Form1.h"
#include "ui/main/browser/FolderList.h"
#include "ui/options/OptionsHost.h"
#include "ui/options/frmOtp.h"
#include <QPushButton>
#include <QTimer>

void Form1::CmdOptions_Click() {
    // The main window's part in the options window's work.
    class Host : public OptionsHost {
    public:
        explicit Host(Form1& form) : f_(form) {}
        QString presetCaption(int index) const override { return f_.CmdPreset.at(index)->text(); }
        void setPresetCaption(int index, const QString& caption) override {
            f_.setPresetCaption(index, caption);
        }
        void applyStartColour(const QColor& colour) override { f_.applyPanelColour(colour); }
        void setBrowserPattern(const QString& pattern) override { f_.setBrowserPattern(pattern); }
        void setJoystickPolling(bool on) override { f_.setJoystickPolling(on); }
        void pressOnTop() override { f_.CmdONtop_Click(); }
        void moveWholePlaylist(int button) override { f_.cmdTabMove_Click(button); }
        JoystickDevice& joystick() override { return f_.joystickDevice(); }
        QString browserFolder() const override { return f_.dirFolders->path(); }
        void showPlaylistCount() override { f_.showCountOfShown(); }
        void applyPlaybackSettings() override { f_.transport().playbackSettingsChanged(); }

    private:
        Form1& f_;
    };

    c_.state.queueEmpty = false;
    cmdNoontop_Click();
    if (auto* open = findChild<frmOtp*>(QString(), Qt::FindDirectChildrenOnly)) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* options = new frmOtp(OptionsContext{c_.state, c_.store, c_.table, c_.dialogs, c_.playlists},
                               std::make_unique<Host>(*this), this);
    options->showOver(this);
}
