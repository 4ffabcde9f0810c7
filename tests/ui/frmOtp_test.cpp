// The options window: what OK and Exit keep, its buttons acting on the main window, the game pad learned.
#include "support/TagFiles.h"
#include "support/VirtualPad.h"
#include "ui/Form1Fixture.h"
#include <QLabel>

TEST_F(Form1Test, OkWritesEveryOptionOnlyWhenOpeningOrAButtonChangedOne) {
    // With the defaults opening counts as a change (their device path is not the box's text "/mnt/"); so
    // does "Start at Save on Exit" alone, which OK stores with the rest.
    for (auto [defaults, startAtSave] : {std::pair{true, false}, {false, false}, {false, true}}) {
        open();
        openOptions();
        EXPECT_TRUE(options->changed() == defaults && !options->isModal());
        if (startAtSave)
            options->chkStartAtSOE->click();
        QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
        EXPECT_FALSE(options->isVisible());
        // The flagged ones (the switches, the auto-save path, the presets and their names); the extensions
        // always.
        for (const SettingDef& def : {table.addedExten(), table.soeStartPath(), table.autoSavePath(),
                                      table.preset(9), table.preName(9)})
            EXPECT_EQ(stored(def) != "-", defaults || startAtSave || def.key == table.addedExten().key)
                << def.key.toStdString();
        EXPECT_EQ(stored(table.closeOnFinish()) + stored(table.devicePath()), defaults      ? "2/media/alice/"
                                                                              : startAtSave ? "2/mnt/"
                                                                                            : "-/mnt/");
        form.reset();
        store = MemorySettingsStore();
        write(table.devicePath(), "/mnt/");
    }
}

TEST_F(Form1Test, KeepOnTopLeavesWhileTheOptionsAreOpenAndComesBackAsTheBoxSays) {
    write(table.onTop(), "1");
    write(table.preName(0), QString(4000, u'x')); // a caption that long leaves the window its size
    for (bool untick : {false, true}) {
        open();
        openOptions();
        EXPECT_TRUE(!form->isOnTop() && options->width() < 1000);
        if (untick)
            options->ChkOnTop->click();
        QTest::mouseClick(options->cmdExitOpt, Qt::LeftButton);
        EXPECT_TRUE(form->isOnTop() == !untick && state.onTop == !untick && stored(table.onTop()) == "1");
        form.reset();
    }
}

// Exit puts back the running settings an import changed; OK keeps them and says when the store refused them.
TEST_F(Form1Test, ExitUndoesAnImportAndOkSaysWhenTheSettingsWereNotStored) {
    open();
    const QString before = state.autoSavePath;
    for (bool ok : {false, true}) {
        openOptions();
        dialogs.fileAnswers = {dir.write(
            "in.KVPS", "AutoSavePath\xc2\xa9/a.KVPL\r\nCloseOnFinish\xc2\xa9 1\r\nShowTabC\xc2\xa9 1\r\n")};
        QTest::mouseClick(options->cmdImportSettingFile, Qt::LeftButton);
        store.failure = "full";
        if (ok) { // the main window's close leaves the options window open, so that OK still stores
            form->close();
            ASSERT_TRUE(options->isVisible());
        }
        QTest::mouseClick(ok ? options->cmdOK1 : options->cmdExitOpt, Qt::LeftButton);
        // The import alone flags a change: OK stores the path (the close told of the store's failure too).
        // Exit takes the device tab the import showed away again.
        EXPECT_EQ(state.autoSavePath + QString::number(state.closeOnFinish) +
                      QString::number(dialogs.messages.size()) + stored(table.autoSavePath()) +
                      QString::number(form->ssTab->count()),
                  ok ? "/a.KVPL12/a.KVPL3" : before + "00-2");
    }
}

// What an export holds and an import takes is the settings tests'; here: the window's part.
TEST_F(Form1Test, OptionButtonsActOnTheMainWindowAtOnceAndOkStoresWhatTheyChose) {
    const QString music = dir.mkdir("Music");
    const QString rock = dir.mkdir("Music/Rock");
    playlists.at(0).append("song.mp3", dir.write("Music/song.mp3", "x"));
    open();
    ASSERT_TRUE(form->dirFolders->setPath(music));
    openOptions();
    options->ChkDeviceTab->click(); // the device tab comes and goes at once
    ASSERT_EQ(form->ssTab->count(), 3);
    form->ssTab->setCurrentIndex(2);
    options->ChkDeviceTab->click();
    EXPECT_EQ(form->ssTab->count() * 10 + form->ssTab->currentIndex(), 20);
    dialogs.fileAnswers = {
        dir.write("in.KVPS", "preName3\xc2\xa9Jazz\r\nShowTabC\xc2\xa9 1 \r\nCloseOnFinish\xc2\xa9 1 \r\n"
                             "AddedExten\xc2\xa9*.mp3;*.ogg\r\nSkip\xc2\xa9 3 \r\n"),
        dir.file("mine"), dir.mkdir("taken.KVPS"), dir.file("missing.KVPS")};
    QTest::mouseClick(options->cmdImportSettingFile, Qt::LeftButton);
    // The device tab and close-on-finish take effect before OK; nothing is stored before it.
    EXPECT_TRUE(form->ssTab->count() == 3 && state.closeOnFinish);
    EXPECT_EQ(options->learnButtons[3]->text() + stored(table.preName(3)), "3-");
    QTest::mouseClick(options->cmdExportSettings, Qt::LeftButton); // what the window holds now
    EXPECT_TRUE(readAll(dir.file("mine.KVPS")).contains("\xc2\xa9Jazz\r\n") && dialogs.messages.empty());
    QTest::mouseClick(options->cmdExportSettings, Qt::LeftButton);
    QTest::mouseClick(options->cmdImportSettingFile, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 2u); // each failure is told
    // The whole-playlist buttons (the copy captions cross over): both counts and the tab shown after each.
    const std::tuple<QPushButton*, int, int, int> steps[] = {{options->CmdCopyBtoAR, 1, 1, 1},
                                                             {options->CmdCopyAtoBR, 2, 1, 0},
                                                             {options->cmdBtoA, 3, 0, 0},
                                                             {options->cmdAtoB, 0, 3, 1}};
    for (auto [button, a, b, tab] : steps) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(QList<int>({playlists.at(0).count(), playlists.at(1).count(), form->ssTab->currentIndex()}),
                  QList<int>({a, b, tab}))
            << button->objectName().toStdString();
    }
    // A playlist saved and loaded again, from the browser's folder.
    dialogs.fileAnswers = {dir.file("mine"), dir.file("mine.KVPL")};
    options->cmdSavePlaylist->click();
    EXPECT_EQ(dialogs.requests.back().folder, music);
    options->cmdLoadPlaylist->click();
    EXPECT_EQ(names(1) << form->LblQueueNum->text(), QStringList(6, "song.mp3") << "6");
    // The auto-save file and a preset folder are chosen, a cancel keeps them; nothing is written before OK.
    dialogs.fileAnswers = {std::nullopt, dir.file("exit"), rock + "/song.mp3", std::nullopt};
    const QString before = state.autoSavePath;
    options->CMDGetSavePath->click();
    EXPECT_EQ(state.autoSavePath, before);
    options->CMDGetSavePath->click();
    EXPECT_EQ(state.autoSavePath, dir.file("exit.KVPL"));
    options->cmdPresetSet[3]->click();
    form->CmdPreset[3]->click(); // the main window's button sees it before OK
    EXPECT_EQ(form->dirFolders->path(), rock);
    options->cmdPresetSet[3]->click();
    // Set Tags writes the four boxes into the tags of B's MP3 files (the one-byte ones are passed over).
    const QString mp3 = dir.write("t.mp3", audioBytes(400) + TagBytes{.title = "T", .year = "1999"}.record());
    playlists.at(1).append("t.mp3", mp3);
    for (int i = 0; i < 4; ++i)
        options->TxtMp3TabInfo[i]->setText(QStringList{"Art", "Alb", "12 Blues", "Note"}[i]);
    options->cmdMP3TagInfo->click();
    EXPECT_EQ(readAll(mp3).right(128), (TagBytes{"T", "Art", "Alb", "1999", "Note", 12}.record()));
    // A box holds a value of any length the settings file can, and OK writes it back whole.
    const QString longText(40000, u'y');
    options->txtCaption[5]->setText(longText);
    options->txtDevicePath->setText("/" + longText);
    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    EXPECT_EQ(stored(table.preName(5)).size() + stored(table.devicePath()).size(), 80001);
    EXPECT_EQ(form->CmdPreset[3]->text() + state.patternList, "Jazz*.mp3;*.ogg");
    EXPECT_EQ(stored(table.preName(3)) + stored(table.deviceTab()), "Jazz1");
    EXPECT_EQ(stored(table.autoSavePath()), dir.file("exit.KVPL"));
    EXPECT_EQ(stored(table.preset(3)), rock);
}

// The pad's wiring only (its rules are the joystick unit tests'); not polled while the options are open.
TEST_F(Form1Test, APadLearnedInTheOptionsDrivesTheMainWindow) {
    if (VirtualPad::otherPadPresent())
        GTEST_SKIP() << "a game pad is plugged into this machine";
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    fill(0, {"one", "two", "three"});
    open();
    EXPECT_FALSE(form->tmrJoy->isActive()); // joystick use is off
    openOptions();
    using A = JoystickAction;
    for (int i = 0; i < kJoystickActionCount; ++i)
        if (A(i) != A::Exit) { // action i learns button i + 1
            pad.hold({i + 1});
            QTest::mouseClick(options->learnButtons[i], Qt::LeftButton);
            EXPECT_EQ(options->learnButtons[i]->text(), QString::number(1 << i));
        }
    options->chkJoyState->click();
    QTest::mouseClick(options->CmdSET, Qt::LeftButton);
    EXPECT_EQ(stored(table.joystickUsed()), "T");
    QTest::mouseClick(options->cmdExitOpt, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !form->findChild<frmOtp*>(); }));
    openOptions();
    EXPECT_FALSE(form->tmrJoy->isActive()); // not while the options window is open
    QTest::mouseClick(options->cmdExitOpt, Qt::LeftButton);
    ASSERT_TRUE(form->tmrJoy->isActive());

    form->CmdPLAY->click();
    pad.hold({int(A::Skip) + 1}); // a learned button acts (each action's own handler: Form1_test)
    EXPECT_TRUE(waitUntil([&] { return host.fake.media == "/music/two"; }));
    pad.axis(0, 32767); // the stick chooses the tab and shrinks the window
    pad.axis(1, -32768);
    EXPECT_TRUE(waitUntil([&] { return form->ssTab->currentIndex() == 1 && form->height() * 15 == 1125; }));
}

// The "MP3 Tag" tab as it opens: each box captioned and holding its caption's word, written as it stands.
TEST_F(Form1Test, TheMp3TagBoxesStartWithTheirCaptionsWordsAndSetTagsWritesThem) {
    const QString mp3 = dir.write("t.mp3", audioBytes(9) + TagBytes{.title = "T", .genre = 9}.record());
    playlists.at(1).append("t.mp3", mp3);
    open();
    openOptions();
    QStringList shown;
    for (const QLabel* label : options->TxtMp3TabInfo[0]->parentWidget()->findChildren<QLabel*>())
        shown << label->text() +
                     (label->buddy() ? "=" + qobject_cast<QLineEdit*>(label->buddy())->text() : "");
    EXPECT_EQ(shown,
              QStringList({"Artist=Artist", "Album=Album", "Genre=Genre", "Comment=Comment",
                           "Clicking the \"Set Tags\" button will alter the tags of all *.MP3 files in the B "
                           "Tab.  Any file that cannot be changes will be skiped.  Make sure files are not "
                           "write protected. To check tags select the file and use the \"?\" feature in the "
                           "time bar at the bottom of Kivo Player. USE AT OWN RISK!"}));
    options->cmdMP3TagInfo->click();
    EXPECT_EQ(readAll(mp3).right(128), (TagBytes{"T", "Artist", "Album", {}, "Comment"}.record()));
}

// OK hands the playback settings to an engine already playing: the ReplayGain mode and pre-amp, and Gapless
// (the next file handed over as soon as it is switched on).
TEST_F(Form1Test, OkHandsReplayGainAndGaplessToThePlayingEngine) {
    for (const char* name : {"one.mp3", "two.mp3"})
        playlists.at(0).append(name, dir.write(name, "audio"));
    open();
    form->CmdPLAY->click();
    ASSERT_TRUE(host.fake.next.isEmpty());
    openOptions();
    options->cboReplayGain->setCurrentIndex(ReplayGain::Album);
    options->spnPreamp->setValue(-3);
    options->chkGapless->setChecked(true);
    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    ASSERT_TRUE(host.fake.replayGain.has_value());
    EXPECT_EQ(host.fake.replayGain->mode, ReplayGain::Album);
    EXPECT_EQ(host.fake.replayGain->preampDb, -3);
    EXPECT_TRUE(waitUntil([&] { return host.fake.next == dir.file("two.mp3"); }, 60000))
        << host.fake.next.toStdString();
}
