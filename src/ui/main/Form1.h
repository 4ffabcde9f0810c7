#pragma once
#include "core/Startup.h"
#include "joystick/JoystickPolling.h"
#include "mpris/MprisPlayer.h"
#include "platform/JoystickDevice.h"
#include "playback/ColourShow.h"
#include "playback/TransportView.h"
#include "ui/main/MainLayout.h"
#include "ui/main/Panel.h"
#include <QWidget>
#include <array>
#include <memory>

class DriveList;
class FileList;
class FolderList;
class JoystickPollingSwitch;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QScrollBar;
class QTabBar;
class QTimer;
class Dialogs;
class KeyState;
class Playlists;
class PlaylistView;
class SettingsStore;
class SettingsTable;
class Shell;
class Transport;
class DeviceTransfer;
class QMouseEvent;
namespace PlaylistSearch {
enum class Mode;
}
struct AppState;
struct MainWindowState;

// Everything the main window works with besides its own controls.
struct Form1Context {
    AppState& state;
    MainWindowState& fields;
    Playlists& playlists;
    SettingsStore& store;
    const SettingsTable& table;
    KeyState& keys;
    Dialogs& dialogs;
    Shell& shell;
    PlayerHost& host;
};

// The main window: five panels holding the browser, the playlists, the
// transport buttons and the bars. It creates its controls and hands their
// events to the logic; the logic lives in the subsystems.
class Form1 : public QWidget,
              private StartupView,
              private TransportView,
              private JoystickTarget,
              private MprisWindow {
    Q_OBJECT
public:
    explicit Form1(Form1Context context, QWidget* parent = nullptr);
    ~Form1() override;

    // The window's load: start-up with the program's command line. Returns the
    // steps that failed (start-up goes on past them).
    QStringList Form_Load(const QString& commandLine);

    // Button handlers other parts press from code.
    void CmdONtop_Click();
    void cmdNoontop_Click();
    void cmdCommandExpand_Click();
    void cmdSizeFix_Click();
    void cmdExit_Click();
    void CmdOptions_Click();

    bool isOnTop() const;
    Transport& transport() { return *transport_; }
    // What the desktop's media calls ask of the window (MprisPlayer).
    MprisWindow& mprisWindow() { return *this; }

    // Handlers of the playlists and the time and colour displays.
    void lstName_Click(int list);
    void txtNameBox_Click();
    void LblTime_Click();
    void toggleColourShow();
    void Timer1_Timer();

    // The file browser and adding files.
    void DrvDriveLetter_Change(const QString& root);
    void dirFolders_Change(const QString& path);
    void FileBox_Click(int index, const QString& name);
    void FileBox_DblClick(int index, const QString& name);
    void CmdPreset_Click(int index);
    void cmdAdd_Click();
    void CmdAddAll_Click();
    void UpdateRoomLeftBar();

    // The device tab.
    void cmdTransfer_Click();
    void cmdListOrFiles_Click();
    void cmdPlayerClear_Click();
    bool transferRunning() const;
    // Files dropped on a playlist list (local paths, in the drop's order).
    void lstName_OLEDragDrop(const QStringList& paths);

    // Playlist editing and search.
    void lstName_KeyPress(int character);
    void lstName_KeyUp(int key);
    void CMdClearAll_Click();
    void cmdTabMove_Click(int index);
    void CmdSearch_Click();
    void saveShownPlaylistAs();
    void focusSearchBox();

    // Function keys, released anywhere in the window; true for the keys the
    // window answers. The track information button.
    bool Form_KeyUp(int key);
    void CMDFileinfo_Click();

    // Panels.
    Panel *PicTopBox, *PicBottomBar, *PicFileStuff, *PicMediaList, *PicButtons;
    // Top panel.
    QLabel* lblName;
    QPushButton *cmdShowScreen, *cmdSizeFix;
    std::array<QListView*, 3> lstFull{};
    // Bottom panel.
    Panel *Pictimer, *linePoint;
    QFrame *Line1, *lnHappyLine;
    QLineEdit* txtNameBox;
    QPushButton *CmdSmallPlay, *CMDSmallStop, *CMDFileinfo, *cmdCommandExpand;
    QScrollBar* hsVolume;
    QLabel* lblVolume;
    std::array<QPushButton*, 4> cmdTabMove{};
    std::array<QPushButton*, 5> CMDButtonArray{};
    std::array<QPushButton*, 3> cmdSavePlayList{};
    // Left panel.
    DriveList* DrvDriveLetter;
    FolderList* dirFolders;
    FileList *FileBox, *tmpFileList;
    std::array<QPushButton*, 10> CmdPreset{};
    // Right panel.
    QTabBar* ssTab;
    std::array<QListView*, 3> lstName{};
    FileList* filePlayer;
    QLineEdit* TxtSearch;
    QPushButton* CmdSearch;
    Panel *picRoomLeftBar, *picBtnHldr2;
    QFrame* lineRoom;
    QPushButton *cmdPlayerClear, *cmdDelete, *cmdTransfer, *cmdListOrFiles;
    QLabel *LblTime, *lblRorL;
    // Button column.
    QPushButton *CmdPLAY, *CmdSTOP, *CmdPause, *cmdSkip, *CmdPreSkip;
    QCheckBox* chkRandom;
    QPushButton *cmdAdd, *CmdAddAll, *CMdClearAll;
    QLabel* LblQueueNum;
    QPushButton *CmdOptions, *cmdExit, *CmdONtop, *cmdNoontop;
    // Timers.
    QTimer *tmrTime, *Timer1, *tmrJoy;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Control creation, one panel each.
    void createTopBox();
    void createBottomBar();
    void createFileStuff();
    void createMediaList();
    void createButtons();
    void createTimers();
    void nameControls();
    void wireEvents();

    // Layout handlers.
    void Form_Resize();
    void PicTopBox_Resize();
    void PicBottomBar_Resize();
    void PicFileStuff_Resize();
    void PicMediaList_Resize();
    void dockPanels();
    void applyWindowHeight(double twips);
    MainLayout::SizeModes sizeModes() const;
    void applySizeModes(const MainLayout::SizeModes& modes);

    void ssTab_Click(int previousTab);
    void showCountOfShown();
    void setStaysOnTop(bool on);

public:
    // A later start's command line: its playlist is loaded as at start-up,
    // and the window comes to the front.
    void openHandedOver(const QString& commandLine);

private:
    // Says that a list could not take everything asked of it.
    void tellIfFull(bool full);
    void Form_QueryUnload();
    void Form_Unload();

    // StartupView.
    void setWindowSizeTwips(int width, int height) override;
    void setPresetCaption(int index, const QString& caption) override;
    void pressOnTop() override { CmdONtop_Click(); }
    void applyPanelColour(const QColor& colour) override;
    void openStartFolder(const QString& autoSavePath) override;
    void setJoystickPolling(bool on) override;
    void setTimeDisplayRemaining() override;
    void setBrowserPattern(const QString& pattern) override;
    void fitSmallButtons() override;
    void setMarkerColour(const QColor& colour) override;
    void showCount(int count) override;
    void enableClearAll() override;

    // TransportView.
    void setPlayShown(bool shown, bool pictures) override;
    void setClearAllEnabled(bool enabled) override;
    void hideNamePanel() override;
    void hideSmallButtons() override;
    void setSmallPlayShown(bool shown) override;
    QString nameBoxText() const override;
    void setTitle(const QString& title) override;
    // showCount is shared with start-up.
    void setPauseIndicator(bool paused) override;
    void setMarkerX(double twips) override;
    double windowWidthTwips() const override;
    void setTimeText(const QString& text) override;
    void pressMainOnTop() override { CmdONtop_Click(); }
    void closeMainWindow() override;

    void wireTransport();
    void wireBrowser();
    void wireEditing();
    void wireKeys();
    void showPlayingTrackInfo();
    // The playlist's list, whose selected position is the user's pick.
    PlaylistView* playlistView(int list) const;
    int selectedPosition() const;
    bool handleListEvent(QObject* watched, QEvent* event);
    bool handleSearchBoxEvent(QEvent* event);
    void lstName_MouseMove(QMouseEvent* event);
    void setSearchMode(PlaylistSearch::Mode mode);
    // Shows a playlist entry in the name box.
    void showNameBoxFor(const QString& name, quint64 entry);
    bool handleDrop(QObject* watched, QEvent* event);
    bool handleDisplayClick(QObject* watched, QEvent* event);
    bool handleDisplayKey(QObject* watched, int key);

    LifecycleContext lifecycle(KeyState& keys) const;

    Form1Context c_;
    Transport* transport_ = nullptr;
    DeviceTransfer* transfer_ = nullptr;
    // The pad, made when polling is first switched on or a learn button first reads it.
    JoystickDevice& joystickDevice();
    std::unique_ptr<JoystickDevice> joystickDevice_;
    std::unique_ptr<JoystickPollingSwitch> joystickSwitch_;
    // Joystick use switched on: polling, or waiting for a pad to be plugged in.
    bool joystickPolling() const;
    // JoystickTarget
    void selectTab(int index) override;
    bool fullSize() const override;
    void toggleSize() override;
    void run(JoystickAction action) override;
    void wireDeviceTab();
    // MprisWindow
    void raiseWindow() override;
    void exitProgram() override;
    void setVolumeSlider(int hundredthsOfDb) override;
    void openPlaylist(const QString& path) override;
    ColourShow colourShow_;
    bool onTop_ = false;
    bool unloaded_ = false;
    bool exitWithShift_ = false; // closed by Alt+Shift+X
    QColor backColour_;          // the window's own background
    bool inResize_ = false;
};
