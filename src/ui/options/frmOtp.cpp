// The options window: its controls and their wiring.
#include "ui/options/frmOtp.h"
#include "core/AppState.h"
#include "core/StartColour.h"
#include "platform/Dialogs.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/main/Form1Controls.h"
#include "ui/options/OptionsHost.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>

namespace {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(const char* name, const QString& caption) {
    return Form1Controls::button(nullptr, QString::fromLatin1(name), caption);
}

QCheckBox* checkBox(const char* name, const QString& caption) {
    return named(new QCheckBox(caption), name);
}

// A box for a stored text: a setting may be longer than a line box takes by default (32,767 characters),
// and what the box cut off, OK would write back cut.
QLineEdit* settingBox(const QString& text, const char* name) {
    auto* box = named(new QLineEdit(text), name);
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QPlainTextEdit* extensionBox(const char* name) {
    auto* box = named(new QPlainTextEdit, name);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setReadOnly(true);
    return box;
}

QLabel* label(const QString& text) {
    auto* l = new QLabel(text);
    l->setWordWrap(true);
    return l;
}

} // namespace

frmOtp::frmOtp(OptionsContext context, std::unique_ptr<OptionsHost> host, QWidget* parent)
    : QWidget(parent, Qt::Window), c_(context), host_(std::move(host)) {
    setObjectName(QStringLiteral("frmOtp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(OptionRules::kCaption);
    SSTab1 = named(new QTabWidget, "SSTab1");
    SSTab1->tabBar()->setAccessibleName(tr("Option pages"));
    SSTab1->addTab(createSetup(), QStringLiteral("Setup"));
    SSTab1->addTab(createJoyStick(), QStringLiteral("JoyStick"));
    SSTab1->addTab(createTabOptions(), QStringLiteral("Tab Options"));
    SSTab1->addTab(createPresets(), QStringLiteral("Presets"));
    SSTab1->addTab(createMp3Tag(), QStringLiteral("MP3 Tag"));
    SSTab1->addTab(createExtensions(), QStringLiteral("Extensions"));
    SSTab1->addTab(createVideoExtensions(), QStringLiteral("Video Extensions"));
    SSTab1->addTab(createScreenSetup(), QStringLiteral("Screen Setup"));
    SSTab1->addTab(createSettings(), QStringLiteral("Settings"));
    cmdOK1 = button("cmdOK1", QStringLiteral("OK!"));
    cmdExitOpt = button("cmdExitOpt", QStringLiteral("Exit"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK1);
    buttons->addWidget(cmdExitOpt);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);
    // Wide enough that all nine tab captions show without scrolling.
    const int tabsWidth = SSTab1->tabBar()->sizeHint().width() + 2 * layout->contentsMargins().left() + 8;
    resize(qMax(sizeHint().width(), tabsWidth), sizeHint().height());
    // The window's timer runs from the start and has nothing to do.
    TmrOption = named(new QTimer(this), "TmrOption");
    TmrOption->setInterval(25);
    TmrOption->start();
    wireEvents();
    wireFileButtons();
    Form_Load();
}

frmOtp::~frmOtp() = default;

void frmOtp::showOver(const QWidget* owner) {
    QRect frame(QPoint(), size());
    frame.moveCenter(owner->frameGeometry().center());
    if (const QScreen* screen = owner->screen()) {
        // Kept whole on the owner's screen, title bar included.
        const QRect free = screen->availableGeometry().adjusted(0, 32, 0, 0);
        frame.moveLeft(qBound(free.left(), frame.left(), qMax(free.left(), free.right() - frame.width())));
        frame.moveTop(qBound(free.top(), frame.top(), qMax(free.top(), free.bottom() - frame.height())));
    }
    move(frame.topLeft());
    show();
}

QWidget* frmOtp::createSetup() {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    ChkOnTop = checkBox("ChkOnTop", QStringLiteral("Keep On Top"));
    CmdColor = button("CmdColor", QStringLiteral("Start Color"));
    CmdColor->setAutoFillBackground(true);
    ChkCloseonFinish = checkBox("ChkCloseonFinish", QStringLiteral("Close on Finish"));
    chkPlaylistOnExit = checkBox("chkPlaylistOnExit", QStringLiteral("Save PlayList On Exit"));
    CMDGetSavePath = button("CMDGetSavePath", QStringLiteral("Save On Exit Path"));
    chkStartAtSOE = checkBox("chkStartAtSOE", QStringLiteral("Start at Save on Exit"));
    cmdLoadPlaylist = button("cmdLoadPlaylist", QStringLiteral("Playlist Load"));
    cmdSavePlaylist = button("cmdSavePlaylist", QStringLiteral("Playlist Save"));
    g->addWidget(ChkOnTop, 0, 0);
    g->addWidget(CmdColor, 0, 1);
    g->addWidget(ChkCloseonFinish, 1, 0);
    g->addWidget(chkPlaylistOnExit, 2, 0);
    g->addWidget(CMDGetSavePath, 2, 1);
    g->addWidget(chkStartAtSOE, 3, 0);
    g->addWidget(cmdLoadPlaylist, 4, 0);
    g->addWidget(cmdSavePlaylist, 4, 1);
    // The entries follow ReplayGain::Mode.
    cboReplayGain = named(new QComboBox, "cboReplayGain");
    cboReplayGain->addItems({tr("Off"), tr("Track"), tr("Album")});
    cboReplayGain->setAccessibleName(tr("ReplayGain"));
    spnPreamp = named(new QDoubleSpinBox, "spnPreamp");
    spnPreamp->setRange(-ReplayGain::kMaxPreampDb, ReplayGain::kMaxPreampDb);
    spnPreamp->setDecimals(1);
    spnPreamp->setSuffix(QStringLiteral(" dB"));
    spnPreamp->setAccessibleName(tr("ReplayGain pre-amp"));
    auto* gainLabel = label(tr("ReplayGain"));
    gainLabel->setBuddy(cboReplayGain);
    auto* preampLabel = label(tr("Pre-amp"));
    preampLabel->setBuddy(spnPreamp);
    g->addWidget(gainLabel, 5, 0);
    g->addWidget(cboReplayGain, 5, 1);
    g->addWidget(preampLabel, 6, 0);
    g->addWidget(spnPreamp, 6, 1);
    chkGapless = checkBox("chkGapless", tr("Gapless playback (the next track follows without a pause)"));
    chkGapless->setAccessibleName(tr("Gapless playback"));
    g->addWidget(chkGapless, 7, 0, 1, 2);
    g->setRowStretch(8, 1);
    return page;
}

QWidget* frmOtp::createJoyStick() {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    chkJoyState = checkBox("chkJoyState", QStringLiteral("Joystick On"));
    g->addWidget(chkJoyState, 0, 0, 1, 2);
    // Stored order of the actions, with the row each one takes on the tab.
    const std::array<std::pair<const char*, const char*>, 9> actions = {{{"cmdPlayStopSet", "Play \\ Stop"},
                                                                         {"cmdExitSet", "Exit"},
                                                                         {"cmdPawsSet", "Paws"},
                                                                         {"cmdSkipSet", "Skip"},
                                                                         {"cmdBTTSet", "Bring To Top"},
                                                                         {"cmdSpecial1Set", "Special 1"},
                                                                         {"cmdSpecial2Set", "Back"},
                                                                         {"CmdRandomToggle", "Random"},
                                                                         {"cmdSongCopy", "Copy to Other"}}};
    for (int i = 0; i < 9; ++i) {
        learnButtons[i] = button(actions[i].first, OptionRules::kUnassigned);
        learnButtons[i]->setAccessibleName(
            tr("Learn the pad button for %1").arg(QString::fromLatin1(actions[i].second)));
        g->addWidget(learnButtons[i], i + 1, 0);
        g->addWidget(label(QString::fromLatin1(actions[i].second)), i + 1, 1);
    }
    CmdSET = button("CmdSET", QStringLiteral("&Set"));
    g->addWidget(CmdSET, 10, 0);
    g->addWidget(
        label(QStringLiteral("Press Joystick button or Button Combination and click button next to Command")),
        11, 0, 1, 2);
    return page;
}

QWidget* frmOtp::createTabOptions() {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    cmdBtoA = button("cmdBtoA", QStringLiteral("Move B to A"));
    CmdCopyAtoBR = button("CmdCopyAtoBR", QStringLiteral("Copy B to A"));
    cmdAtoB = button("cmdAtoB", QStringLiteral("Move A to B"));
    CmdCopyBtoAR = button("CmdCopyBtoAR", QStringLiteral("Copy A to B"));
    ChkDeviceTab = checkBox("ChkDeviceTab", QStringLiteral("Show Device Tab - C"));
    txtDevicePath = settingBox(OptionRules::kDesignDevicePath, "txtDevicePath");
    txtDevicePath->setAccessibleName(tr("Path for Device"));
    // "&&" shows one ampersand.
    chkFileNameChange = checkBox(
        "chkFileNameChange",
        QStringLiteral(
            "Change file names from D&&S file structure to Artist - Album - Track Number - Song Name.*"));
    g->addWidget(cmdBtoA, 0, 0);
    g->addWidget(CmdCopyAtoBR, 0, 1);
    g->addWidget(cmdAtoB, 1, 0);
    g->addWidget(CmdCopyBtoAR, 1, 1);
    g->addWidget(ChkDeviceTab, 2, 0, 1, 2);
    g->addWidget(label(QStringLiteral("Path for Device")), 3, 0);
    g->addWidget(txtDevicePath, 3, 1);
    g->addWidget(chkFileNameChange, 4, 0, 1, 2);
    g->setRowStretch(5, 1);
    return page;
}

QWidget* frmOtp::createPresets() {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    for (int i = 0; i < 10; ++i) {
        const QString number = QString::number(i + 1);
        cmdPresetSet[i] = button("cmdPresetSet", number);
        cmdPresetSet[i]->setProperty("index", i);
        txtCaption[i] = settingBox(number, "txtCaption");
        txtCaption[i]->setProperty("index", i);
        cmdPresetSet[i]->setAccessibleName(tr("Choose the folder of preset %1").arg(number));
        txtCaption[i]->setAccessibleName(tr("Caption of preset %1").arg(number));
        g->addWidget(cmdPresetSet[i], i % 5, (i / 5) * 2);
        g->addWidget(txtCaption[i], i % 5, (i / 5) * 2 + 1);
    }
    g->addWidget(label(QStringLiteral("Choose a preset number and select a file in the open file window")), 5,
                 0, 1, 4);
    return page;
}

QWidget* frmOtp::createMp3Tag() {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    cmdMP3TagInfo = button("cmdMP3TagInfo", QStringLiteral("Set Tags"));
    // Each box starts with its caption's word.
    const QString captions[] = {QStringLiteral("Artist"), QStringLiteral("Album"), QStringLiteral("Genre"),
                                QStringLiteral("Comment")};
    for (int i = 0; i < 4; ++i) {
        TxtMp3TabInfo[i] = named(new QLineEdit(captions[i]), "TxtMp3TabInfo");
        TxtMp3TabInfo[i]->setProperty("index", i);
        TxtMp3TabInfo[i]->setAccessibleName(captions[i]);
        auto* caption = new QLabel(captions[i]);
        caption->setBuddy(TxtMp3TabInfo[i]);
        g->addWidget(caption, i, 0);
        g->addWidget(TxtMp3TabInfo[i], i, 1);
    }
    auto* explanation = label(QStringLiteral(
        "Clicking the \"Set Tags\" button will alter the tags of all *.MP3 files in the B Tab.  Any file "
        "that "
        "cannot be changes will be skiped.  Make sure files are not write protected. To check tags select "
        "the "
        "file and use the \"?\" feature in the time bar at the bottom of Kivo Player. USE AT OWN RISK!"));
    explanation->setTextFormat(Qt::PlainText);
    g->addWidget(explanation, 4, 0, 1, 2);
    g->addWidget(cmdMP3TagInfo, 5, 1, Qt::AlignLeft);
    g->setRowStretch(6, 1);
    return page;
}

QWidget* frmOtp::createExtensions() {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    TxtInstExten = extensionBox("TxtInstExten");
    chkUnlockBox = checkBox("chkUnlockBox", QStringLiteral("Lock Edit Box"));
    chkUnlockBox->setChecked(true);
    TxtInstExten->setAccessibleName(tr("Current extension filter"));
    TxtExtentoAdd = named(new QLineEdit(QStringLiteral("*.*")), "TxtExtentoAdd");
    TxtExtentoAdd->setAccessibleName(tr("Extension to add"));
    cmdAddexten = button("cmdAddexten", QStringLiteral("Add Extension"));
    g->addWidget(label(QStringLiteral("Current Extention Filter")), 0, 0, 1, 2);
    g->addWidget(TxtInstExten, 1, 0, 1, 2);
    g->addWidget(chkUnlockBox, 2, 0);
    g->addWidget(TxtExtentoAdd, 3, 0);
    g->addWidget(cmdAddexten, 3, 1);
    return page;
}

QWidget* frmOtp::createVideoExtensions() {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    txtVidExtentions = extensionBox("txtVidExtentions");
    chkvidLock = checkBox("chkvidLock", QStringLiteral("Lock Edit Box"));
    chkvidLock->setChecked(true);
    LstAllExtentions = named(new QListWidget, "LstAllExtentions");
    txtVidExtentions->setAccessibleName(tr("Video extensions"));
    LstAllExtentions->setAccessibleName(tr("Valid file extensions installed"));
    Command1 = button("Command1", QStringLiteral("Add"));
    g->addWidget(label(QStringLiteral("Video Extentions")), 0, 0);
    g->addWidget(label(QStringLiteral("Valid File Extentions Installed")), 0, 1);
    g->addWidget(txtVidExtentions, 1, 0);
    g->addWidget(LstAllExtentions, 1, 1);
    g->addWidget(chkvidLock, 2, 0);
    g->addWidget(Command1, 2, 1);
    g->addWidget(
        label(QStringLiteral("Extentions added to the Video Extentions box will be seen and video and will "
                             "automaticaly display the video screen.  Other video options can be set in "
                             "Screen Setup")),
        3, 0, 1, 2);
    return page;
}

QWidget* frmOtp::createScreenSetup() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    chkScreenKeepOnTop = checkBox("chkScreenKeepOnTop", QStringLiteral("Keep Screen On Top"));
    v->addWidget(chkScreenKeepOnTop);
    v->addStretch();
    return page;
}

QWidget* frmOtp::createSettings() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    cmdImportSettingFile = button("cmdImportSettingFile", QStringLiteral("Import Settings"));
    cmdExportSettings = button("cmdExportSettings", QStringLiteral("Export Settings"));
    cmdDeleteSettings = button("cmdDeleteSettings", QStringLiteral("Delete Settings"));
    v->addWidget(cmdImportSettingFile);
    v->addWidget(cmdExportSettings);
    v->addWidget(cmdDeleteSettings);
    v->addStretch();
    return page;
}
