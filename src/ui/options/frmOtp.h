#pragma once
#include "core/AppState.h"
#include "settings/OptionRules.h"
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class Dialogs;
class OptionsHost;
class Playlists;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class SettingsStore;
class SettingsTable;
struct AppState;

// Everything the options window works with besides its own controls.
struct OptionsContext {
    AppState& state;
    SettingsStore& store;
    const SettingsTable& table;
    Dialogs& dialogs;
    Playlists& playlists;
};

// The options window: nine tabs of settings. It creates its controls and
// wires them; what they show and store is decided in OptionRules.
class frmOtp : public QWidget {
    Q_OBJECT
public:
    frmOtp(OptionsContext context, std::unique_ptr<OptionsHost> host, QWidget* parent = nullptr);
    ~frmOtp() override;

    // Shows the window centred over the owner and whole on its screen.
    void showOver(const QWidget* owner);

    bool changed() const { return changed_; }
    bool joystickChanged() const { return joyChanged_; }

    void cmdOK1_Click();
    void cmdExitOpt_Click();
    void CmdColor_Click();
    void cmdAddexten_Click();
    void Command1_Click();
    void cmdExportSettings_Click();
    void cmdImportSettingFile_Click();
    void CMDGetSavePath_Click();
    void cmdLoadPlaylist_Click();
    void cmdSavePlaylist_Click();
    void cmdPresetSet_Click(int index);
    // The joystick assignment; the learning itself comes with the joystick tab's buttons.
    void CmdSET_Click();
    // Stores a changed assignment (true), without a word on failure.
    bool storeJoystick();
    // Exit, or a close without OK: the running settings as before an import.
    void undoImport();

    QTabWidget* SSTab1;
    // Setup.
    QCheckBox *ChkOnTop, *ChkCloseonFinish, *chkPlaylistOnExit, *chkStartAtSOE;
    QPushButton *CmdColor, *CMDGetSavePath, *cmdLoadPlaylist, *cmdSavePlaylist;
    QComboBox* cboReplayGain;
    QDoubleSpinBox* spnPreamp;
    QCheckBox* chkGapless;
    // JoyStick, learn buttons in stored order: PlayStop, Exit, Paws, Skip,
    // BringToTop, Special1, Special2, Random, CopyToOther.
    QCheckBox* chkJoyState;
    std::array<QPushButton*, 9> learnButtons{};
    QPushButton* CmdSET;
    // Tab Options.
    QPushButton *cmdBtoA, *CmdCopyAtoBR, *cmdAtoB, *CmdCopyBtoAR;
    QCheckBox *ChkDeviceTab, *chkFileNameChange;
    QLineEdit* txtDevicePath;
    // Presets.
    std::array<QPushButton*, 10> cmdPresetSet{};
    std::array<QLineEdit*, 10> txtCaption{};
    // MP3 Tag.
    QPushButton* cmdMP3TagInfo;
    std::array<QLineEdit*, 4> TxtMp3TabInfo{};
    // Extensions.
    QPlainTextEdit* TxtInstExten;
    QCheckBox* chkUnlockBox;
    QLineEdit* TxtExtentoAdd;
    QPushButton* cmdAddexten;
    // Video Extensions.
    QPlainTextEdit* txtVidExtentions;
    QCheckBox* chkvidLock;
    QListWidget* LstAllExtentions;
    QPushButton* Command1;
    // Screen Setup.
    QCheckBox* chkScreenKeepOnTop;
    // Settings.
    QPushButton *cmdImportSettingFile, *cmdExportSettings, *cmdDeleteSettings;
    // Below the tabs.
    QPushButton *cmdOK1, *cmdExitOpt;
    QTimer* TmrOption;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createSetup();
    QWidget* createJoyStick();
    QWidget* createTabOptions();
    QWidget* createPresets();
    QWidget* createMp3Tag();
    QWidget* createExtensions();
    QWidget* createVideoExtensions();
    QWidget* createScreenSetup();
    QWidget* createSettings();
    void wireEvents();
    void wireFileButtons();
    void Form_Load();
    void ChkDeviceTab_Click(bool checked);
    void learn(int action);
    void setLearnCaption(int action, const QString& caption);
    void showColour();

    OptionRules::Controls controls() const;
    // Gives the controls new values; each change has the effect a user's change has.
    void fill(const OptionRules::Controls& values);

    OptionsContext c_;
    std::unique_ptr<OptionsHost> host_;
    bool changed_ = false;
    bool joyChanged_ = false;
    std::optional<AppState> beforeImport_; // the running settings before the first import
};
