// The options window's events: opening, the controls' immediate effects, OK,
// Exit and the settings file.
#include "core/AppState.h"
#include "core/StartColour.h"
#include "joystick/JOYClass.h"
#include "joystick/JoystickAssignment.h"
#include "platform/Dialogs.h"
#include "platform/RegularFile.h"
#include "platform/SettingsStore.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/Playlists.h"
#include "settings/SettingsExport.h"
#include "settings/SettingsTable.h"
#include "tags/SetTags.h"
#include "ui/options/OptionsHost.h"
#include "ui/options/frmOtp.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {
// A settings file larger than this is not one the program wrote.
constexpr qint64 kMaxSettingsFile = 1 << 20;
const QString kSettingsFilter = QStringLiteral("*.KVPS");
const QString kProblem = QStringLiteral("Problem!");

// A caption of any length leaves the window its size: the button shows what
// fits, its tip the whole.
void showCaption(QPushButton* button, const QString& caption) {
    constexpr int kWidth = 160;
    button->setText(button->fontMetrics().elidedText(caption, Qt::ElideRight, kWidth));
    button->setToolTip(caption);
}

void setText(QPlainTextEdit* box, const QString& text) {
    if (box->toPlainText() != text)
        box->setPlainText(text);
}
} // namespace

void frmOtp::wireEvents() {
    auto now = [this](QCheckBox* box, bool AppState::*setting) {
        connect(box, &QCheckBox::toggled, this, [this, setting](bool checked) {
            c_.state.*setting = checked;
            changed_ = true;
        });
    };
    now(ChkOnTop, &AppState::onTop);
    now(ChkCloseonFinish, &AppState::closeOnFinish);
    now(chkPlaylistOnExit, &AppState::autoSave);
    now(chkScreenKeepOnTop, &AppState::videoOnTop);
    auto flag = [this] {
        changed_ = true;
    };
    connect(chkFileNameChange, &QCheckBox::toggled, this, flag);
    connect(chkStartAtSOE, &QCheckBox::toggled, this, flag); // so that OK stores it
    connect(txtDevicePath, &QLineEdit::textChanged, this, flag);
    for (QLineEdit* caption : txtCaption)
        connect(caption, &QLineEdit::textChanged, this, flag);
    connect(chkJoyState, &QCheckBox::toggled, this, [this](bool checked) {
        c_.state.joystickUsed = checked;
        joyChanged_ = true;
    });
    connect(ChkDeviceTab, &QCheckBox::toggled, this, &frmOtp::ChkDeviceTab_Click);
    connect(CmdColor, &QPushButton::clicked, this, &frmOtp::CmdColor_Click);
    connect(CmdSET, &QPushButton::clicked, this, &frmOtp::CmdSET_Click);
    connect(cmdMP3TagInfo, &QPushButton::clicked, this, [this] {
        setTags(c_.playlists.at(Playlists::kB),
                {TxtMp3TabInfo[0]->text(), TxtMp3TabInfo[1]->text(), TxtMp3TabInfo[2]->text(),
                 TxtMp3TabInfo[3]->text()},
                c_.dialogs);
    });
    for (int i = 0; i < kJoystickActionCount; ++i)
        connect(learnButtons[i], &QPushButton::clicked, this, [this, i] { learn(i); });
    connect(chkUnlockBox, &QCheckBox::toggled, TxtInstExten, &QPlainTextEdit::setReadOnly);
    connect(chkvidLock, &QCheckBox::toggled, txtVidExtentions, &QPlainTextEdit::setReadOnly);
    connect(cmdAddexten, &QPushButton::clicked, this, &frmOtp::cmdAddexten_Click);
    connect(Command1, &QPushButton::clicked, this, &frmOtp::Command1_Click);
    using namespace PlaylistEditing;
    for (auto [b, move] : {std::pair{cmdAtoB, MoveAToB}, std::pair{cmdBtoA, MoveBToA},
                           std::pair{CmdCopyBtoAR, CopyAToB}, std::pair{CmdCopyAtoBR, CopyBToA}})
        connect(b, &QPushButton::clicked, this, [this, move = move] { host_->moveWholePlaylist(move); });
    connect(cmdExportSettings, &QPushButton::clicked, this, &frmOtp::cmdExportSettings_Click);
    connect(cmdImportSettingFile, &QPushButton::clicked, this, &frmOtp::cmdImportSettingFile_Click);
    connect(cmdOK1, &QPushButton::clicked, this, &frmOtp::cmdOK1_Click);
    connect(cmdExitOpt, &QPushButton::clicked, this, &frmOtp::cmdExitOpt_Click);
}

void frmOtp::Form_Load() {
    SSTab1->setCurrentIndex(0);
    changed_ = false;
    joyChanged_ = false;
    std::array<QString, 10> mainCaptions;
    for (int i = 0; i < 10; ++i)
        mainCaptions[i] = host_->presetCaption(i);
    const OptionRules::Opening o = OptionRules::opening(c_.store, c_.table, c_.state, mainCaptions);
    const OptionRules::Controls& v = o.controls;
    ChkOnTop->setChecked(ChkOnTop->isChecked() || c_.state.onTop);
    chkPlaylistOnExit->setChecked(chkPlaylistOnExit->isChecked() || c_.state.autoSave);
    host_->setJoystickPolling(false);
    for (const QString& pattern : c_.state.patternList.split(QLatin1Char(';')))
        LstAllExtentions->addItem(pattern);
    LstAllExtentions->setCurrentRow(0);
    setText(txtVidExtentions, v.videoBox);
    setText(TxtInstExten, v.patternBox);
    if (o.joystickKnown) {
        c_.state.joystickUsed = v.joystickOn;
        chkJoyState->setChecked(v.joystickOn);
    }
    for (int i = 0; i < 9; ++i)
        setLearnCaption(i, v.learnCaptions[i]);
    chkScreenKeepOnTop->setChecked(v.screenOnTop);
    for (int i = 0; i < 10; ++i) {
        showCaption(cmdPresetSet[i], v.captions[i]);
        txtCaption[i]->setText(v.captions[i]);
    }
    if (v.onTop)
        ChkOnTop->setChecked(true);
    showColour();
    if (v.closeOnFinish)
        ChkCloseonFinish->setChecked(true);
    c_.state.autoSave = o.autoSave;
    chkStartAtSOE->setChecked(v.startAtSOE);
    if (v.deviceTab)
        ChkDeviceTab->setChecked(true);
    txtDevicePath->setText(v.devicePath);
    if (v.nameConvert)
        chkFileNameChange->setChecked(true);
    cboReplayGain->setCurrentIndex(v.replayGain.mode);
    spnPreamp->setValue(v.replayGain.preampDb);
    chkGapless->setChecked(v.gapless);
}

void frmOtp::showColour() {
    QPalette p = CmdColor->palette();
    p.setColor(QPalette::Button, colourFromValue(c_.state.startColour));
    CmdColor->setPalette(p);
}

void frmOtp::CmdColor_Click() {
    const std::optional<QColor> colour = c_.dialogs.chooseColour(colourFromValue(c_.state.startColour));
    if (!colour)
        return;
    c_.state.startColour = valueFromColour(*colour);
    showColour();
    SplitStartColor(c_.state);
    changed_ = true;
}

void frmOtp::ChkDeviceTab_Click(bool checked) {
    const int remembered = c_.playlists.shownIndex();
    if (checked) {
        c_.playlists.setTabCount(3);
        c_.state.deviceTab = true;
        return;
    }
    if (remembered == Playlists::kDevice)
        c_.playlists.setShown(Playlists::kA);
    c_.playlists.setTabCount(2);
    c_.state.deviceTab = false;
}

void frmOtp::cmdAddexten_Click() {
    const OptionRules::PatternAdd added =
        OptionRules::addPattern(TxtInstExten->toPlainText(), TxtExtentoAdd->text());
    TxtExtentoAdd->setText(added.entry);
    setText(TxtInstExten, added.box);
}

void frmOtp::Command1_Click() {
    const QListWidgetItem* row = LstAllExtentions->currentItem();
    if (row)
        setText(txtVidExtentions, OptionRules::addVideo(txtVidExtentions->toPlainText(), row->text()));
}

// The caption is the pad button's code; a screen reader reads it after the
// button's name.
void frmOtp::setLearnCaption(int action, const QString& caption) {
    learnButtons[action]->setText(caption);
    learnButtons[action]->setAccessibleDescription(caption == OptionRules::kUnassigned
                                                       ? tr("No pad button assigned")
                                                       : tr("Pad button code %1").arg(caption));
}

// A learn button: the buttons held on the pad now become its action's code.
void frmOtp::learn(int action) {
    joyChanged_ = true;
    JOYClass reader(host_->joystick());
    const int code = reader.ButtonData();
    JoystickAssignment::Captions captions;
    for (int i = 0; i < kJoystickActionCount; ++i)
        captions[i] = learnButtons[i]->text();
    JoystickAssignment::ClearDuplicateButtons(captions, code);
    captions[action] = QString::number(code);
    for (int i = 0; i < kJoystickActionCount; ++i)
        setLearnCaption(i, captions[i]);
}

void frmOtp::CmdSET_Click() {
    if (storeJoystick())
        reportStoreFailure(c_.store, c_.dialogs);
}

bool frmOtp::storeJoystick() {
    if (!joyChanged_)
        return false;
    JoystickAssignment::Captions captions;
    for (int i = 0; i < kJoystickActionCount; ++i)
        captions[i] = learnButtons[i]->text();
    const JoystickAssignment::Codes codes = JoystickAssignment::codesFrom(captions);
    std::copy(codes.begin(), codes.end(), c_.state.joystickCodes.begin());
    host_->setJoystickPolling(c_.state.joystickUsed);
    JoystickAssignment::store(c_.store, c_.table, c_.state.joystickUsed, codes);
    return true;
}

OptionRules::Controls frmOtp::controls() const {
    OptionRules::Controls v;
    v.onTop = ChkOnTop->isChecked();
    v.closeOnFinish = ChkCloseonFinish->isChecked();
    v.playlistOnExit = chkPlaylistOnExit->isChecked();
    v.startAtSOE = chkStartAtSOE->isChecked();
    v.joystickOn = chkJoyState->isChecked();
    v.screenOnTop = chkScreenKeepOnTop->isChecked();
    v.deviceTab = ChkDeviceTab->isChecked();
    v.nameConvert = chkFileNameChange->isChecked();
    v.devicePath = txtDevicePath->text();
    v.replayGain = {ReplayGain::Mode(cboReplayGain->currentIndex()), spnPreamp->value()};
    v.gapless = chkGapless->isChecked();
    v.patternBox = TxtInstExten->toPlainText();
    v.videoBox = txtVidExtentions->toPlainText();
    for (int i = 0; i < 10; ++i)
        v.captions[i] = txtCaption[i]->text();
    for (int i = 0; i < 9; ++i)
        v.learnCaptions[i] = learnButtons[i]->text();
    return v;
}

void frmOtp::fill(const OptionRules::Controls& v) {
    for (int i = 0; i < 10; ++i)
        txtCaption[i]->setText(v.captions[i]);
    ChkOnTop->setChecked(v.onTop);
    ChkCloseonFinish->setChecked(v.closeOnFinish);
    chkPlaylistOnExit->setChecked(v.playlistOnExit);
    chkStartAtSOE->setChecked(v.startAtSOE);
    setText(TxtInstExten, v.patternBox);
    ChkDeviceTab->setChecked(v.deviceTab);
    txtDevicePath->setText(v.devicePath);
    chkFileNameChange->setChecked(v.nameConvert);
    setText(txtVidExtentions, v.videoBox);
    chkJoyState->setChecked(v.joystickOn);
    for (int i = 0; i < 9; ++i)
        setLearnCaption(i, v.learnCaptions[i]);
}

void frmOtp::cmdOK1_Click() {
    const OptionRules::Controls v = controls();
    OptionRules::OkResult result;
    {
        // Every setting lands in one change of the settings file.
        const SettingsBatch batch(c_.store);
        storeJoystick();
        result = OptionRules::applyOk(c_.store, c_.table, c_.state, v, changed_);
    }
    beforeImport_.reset(); // what was imported is now the user's
    // The settings are in use for this run even when the file refused them.
    reportStoreFailure(c_.store, c_.dialogs);
    host_->applyStartColour(colourFromValue(c_.state.startColour));
    host_->applyPlaybackSettings();
    if (changed_) {
        for (int i = 0; i < 10; ++i)
            host_->setPresetCaption(i, v.captions[i]);
    }
    setText(TxtInstExten, result.patterns.text);
    if (result.patterns.accepted)
        host_->setBrowserPattern(c_.state.patternList);
    setText(txtVidExtentions, result.videos.text);
    // Without a pad attached the main window only waits for one to be plugged in.
    host_->setJoystickPolling(chkJoyState->isChecked());
    if (c_.state.onTop)
        host_->pressOnTop();
    close();
}

void frmOtp::cmdExitOpt_Click() {
    undoImport();
    host_->setJoystickPolling(c_.state.joystickUsed);
    if (c_.state.onTop)
        host_->pressOnTop();
    close();
}

void frmOtp::undoImport() {
    if (!beforeImport_)
        return;
    OptionRules::restoreSettings(c_.state, *beforeImport_);
    beforeImport_.reset();
    // The device tab an import showed or hid comes and goes with its check box.
    {
        const QSignalBlocker quiet(ChkDeviceTab);
        ChkDeviceTab->setChecked(c_.state.deviceTab);
    }
    ChkDeviceTab_Click(c_.state.deviceTab);
}

void frmOtp::closeEvent(QCloseEvent* event) {
    undoImport(); // closed without OK
    if (c_.state.onTop)
        host_->pressOnTop();
    event->accept();
}

void frmOtp::cmdExportSettings_Click() {
    Dialogs::FileRequest request;
    request.folder = c_.table.defaultFolder();
    request.fileName = kSettingsFilter;
    request.filter = kSettingsFilter;
    const std::optional<QString> chosen = c_.dialogs.saveFile(request);
    if (!chosen || chosen->isEmpty() || *chosen == kSettingsFilter)
        return;
    const SettingsExport::Values values = OptionRules::exportValues(controls(), c_.state);
    setText(TxtInstExten, values.addedExten);
    host_->setBrowserPattern(c_.state.patternList);
    setText(txtVidExtentions, values.vidExten);
    if (!replaceRegularFile(SettingsExport::fileNameFor(*chosen), SettingsExport::write(values)))
        c_.dialogs.message(QStringLiteral("Error Saving Settings, Its Kind of a BummerCheck, Sorry"),
                           kProblem);
}

void frmOtp::cmdImportSettingFile_Click() {
    Dialogs::FileRequest request;
    request.folder = c_.table.defaultFolder(); // where export starts too
    request.fileName = kSettingsFilter;
    request.filter = kSettingsFilter;
    const std::optional<QString> chosen = c_.dialogs.openFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    const FileRead file = readRegularFile(*chosen, kMaxSettingsFile);
    if (file.status != FileReadStatus::Read) {
        c_.dialogs.message(QStringLiteral("Error loading Settings ,Check Something to Kinda Fix It, OK!?!"),
                           kProblem);
        return;
    }
    if (!beforeImport_)
        beforeImport_ = c_.state;
    // Line by line, so that each control's change has its effect in the file's order.
    QStringList skipped;
    for (const SettingsExport::Line& line : SettingsExport::read(file.bytes)) {
        OptionRules::Controls v = controls();
        if (!OptionRules::applyImport(line, v, c_.state))
            skipped << line.key;
        else
            changed_ = true; // OK stores what the import changed
        fill(v);
    }
    if (!skipped.isEmpty())
        c_.dialogs.message(
            QStringLiteral("These imported values were not taken: %1").arg(skipped.join(u", ")), kProblem);
}
