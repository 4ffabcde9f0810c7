#include "app/CommandLine.h"
#include "app/Startup.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/MemorySettingsStore.h"
#include "playlist/PlaylistFile.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "support/EntryNames.h"
#include "support/FakeSeams.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

namespace {

// Records what start-up asks of the window.
class RecordingView : public StartupView {
public:
    QStringList captions = QStringList(10, QString());
    int onTopPresses = 0;
    QColor panel, marker;
    QStringList startFolders;
    bool polling = true;
    bool remaining = false;
    QString pattern;
    int count = -1;
    bool clearAllEnabled = false;
    int width = 0, height = 0;
    bool refuseFolder = false;

    void setWindowSizeTwips(int w, int h) override { width = w, height = h; }
    void setPresetCaption(int i, const QString& caption) override { captions[i] = caption; }
    void pressOnTop() override { ++onTopPresses; }
    void applyPanelColour(const QColor& colour) override { panel = colour; }
    void openStartFolder(const QString& path) override {
        if (refuseFolder)
            throw std::runtime_error("drive not ready");
        startFolders << path;
    }
    void setJoystickPolling(bool on) override { polling = on; }
    void setTimeDisplayRemaining() override { remaining = true; }
    void setBrowserPattern(const QString& p) override { pattern = p; }
    void fitSmallButtons() override {}
    void setMarkerColour(const QColor& colour) override { marker = colour; }
    void showCount(int n) override { count = n; }
    void enableClearAll() override { clearAllEnabled = true; }
};

class StartupTest : public ::testing::Test {
protected:
    TempDir dir;
    MemorySettingsStore store;
    SettingsTable table{QStringLiteral("alice"), dir.path()};
    FakeKeyState keys;
    FakeDialogs dialogs;
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    RecordingView view;
    LifecycleContext context{store, table, keys, dialogs, state, fields, playlists};

    QStringList start(const QString& commandLine = {}) {
        return runStartup(context, view, QStringLiteral("alice"), commandLine);
    }
    void set(const SettingDef& def, const QString& value) { store.write(def.section, def.key, value); }
    // A playlist file naming `count` media files that exist.
    QString playlistFile(const QString& relative, int count, const QString& prefix) {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            const QString media = dir.write(QStringLiteral("media/%1%2.mp3").arg(prefix).arg(i), "x");
            text += QStringLiteral("%1%2.mp3*%3\r\n").arg(prefix).arg(i).arg(media).toUtf8();
        }
        return dir.write(relative, text + "!@#$%\r\n");
    }
};

TEST_F(StartupTest, EmptyStoreGivesTheDefaultsAndWritesNothing) {
    EXPECT_TRUE(start().isEmpty());
    EXPECT_EQ(playlists.shownIndex(), Playlists::kA);
    EXPECT_EQ(playlists.tabCount(), 2);
    EXPECT_FALSE(view.polling);
    EXPECT_EQ(view.panel, QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(view.marker, QColor(68, 68, 72));
    EXPECT_FALSE(view.remaining);
    EXPECT_TRUE(fields.elapsedMode);
    EXPECT_EQ(view.pattern, kDefaultPatternList);
    EXPECT_EQ(state.videoList, kDefaultVideoList);
    EXPECT_EQ(view.width, 6470);
    EXPECT_EQ(view.height, 4800);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(view.captions[i], QString::number(i + 1));
        EXPECT_EQ(state.presetFolders[i], table.defaultFolder());
    }
    EXPECT_EQ(state.autoSavePath, table.defaultAutoSavePath());
    EXPECT_EQ(state.devicePath, QStringLiteral("/media/alice/"));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(state.joystickCodes[i], -(i + 1));
    EXPECT_FALSE(state.closeOnFinish || state.autoSave || state.onTop || state.joystickUsed ||
                 state.deviceTab);
    EXPECT_EQ(view.onTopPresses, 0);
    EXPECT_EQ(view.count, 0);
    EXPECT_TRUE(view.clearAllEnabled);
    EXPECT_EQ(store.writeCount(), 0);
}

TEST_F(StartupTest, SwitchesFollowTheirOwnReadingRules) {
    set(table.onTop(), "1.0");
    set(table.closeOnFinish(), "2");
    set(table.joystickUsed(), "t");
    set(table.deviceTab(), "True");
    set(table.nameConvert(), "5");
    set(table.eorR(), "R");
    set(table.colorToStart(), "0");
    start();
    EXPECT_TRUE(state.onTop);
    EXPECT_EQ(view.onTopPresses, 1);
    EXPECT_FALSE(state.closeOnFinish);
    EXPECT_FALSE(state.joystickUsed);
    EXPECT_TRUE(state.deviceTab);
    EXPECT_EQ(playlists.tabCount(), 3);
    EXPECT_EQ(playlists.shownIndex(), Playlists::kA);
    EXPECT_TRUE(state.nameConvert);
    EXPECT_TRUE(view.remaining);
    EXPECT_FALSE(fields.elapsedMode);
    EXPECT_EQ(view.marker, QColor(255, 255, 255));

    set(table.onTop(), "2");
    set(table.closeOnFinish(), "1");
    set(table.joystickUsed(), "T");
    set(table.colorToStart(), QString::number(0xFFFFFF));
    RecordingView second;
    AppState fresh;
    LifecycleContext again{store, table, keys, dialogs, fresh, fields, playlists};
    runStartup(again, second, QStringLiteral("alice"), {});
    EXPECT_FALSE(fresh.onTop);
    EXPECT_EQ(second.onTopPresses, 0);
    EXPECT_TRUE(fresh.closeOnFinish);
    EXPECT_TRUE(fresh.joystickUsed);
    EXPECT_TRUE(second.polling);
    EXPECT_EQ(second.marker, QColor(5, 5, 9));
}

TEST_F(StartupTest, AutoSaveIsRestoredUnlessShiftIsHeld) {
    set(table.playlistOnExit(), "1");
    set(table.autoSavePath(), playlistFile("auto.KVPL", 2, "a"));
    keys.shift = true;
    start();
    EXPECT_TRUE(playlists.at(Playlists::kA).isEmpty());

    keys.shift = false;
    start();
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 2);
    EXPECT_EQ(view.count, 2);
}

TEST_F(StartupTest, CommandLinePlaylistGoesToAOrToBWhenAIsFilled) {
    const QString named = playlistFile("my lists/evening.kvpl", 3, "e");
    start(QStringLiteral("\"%1\"").arg(named));
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 3);
    EXPECT_EQ(playlists.shownIndex(), Playlists::kA);

    Playlists other;
    AppState otherState;
    LifecycleContext withAutoSave{store, table, keys, dialogs, otherState, fields, other};
    set(table.playlistOnExit(), "1");
    set(table.autoSavePath(), playlistFile("auto.KVPL", 2, "a"));
    RecordingView otherView;
    runStartup(withAutoSave, otherView, QStringLiteral("alice"), named);
    EXPECT_EQ(other.at(Playlists::kA).count(), 2);
    EXPECT_EQ(other.at(Playlists::kB).count(), 3);
    EXPECT_EQ(other.shownIndex(), Playlists::kB);
    EXPECT_EQ(otherView.count, 3);
}

TEST_F(StartupTest, CommandLineNamesHoldingQuotesAndRunsOfBlanks) {
    // A Linux file name may hold quotes: only quotes around the whole line
    // are taken off, so such a name loads as it is.
    const QString quoteInside = playlistFile("say \"hi\" list.KVPL", 2, "q");
    start(quoteInside);
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 2);

    const QString quoteAtEnd = playlistFile("\"best\" of.kvpl", 1, "b");
    EXPECT_EQ(commandLinePlaylist(quoteAtEnd), quoteAtEnd);
    EXPECT_EQ(commandLinePlaylist(QStringLiteral("\"%1\"").arg(quoteAtEnd)), quoteAtEnd);

    // Arguments split at blanks by the shell come back whole, blanks and all.
    const QString blanks = dir.file("two  blanks .KVPL");
    EXPECT_EQ(commandLinePlaylist(joinCommandLine(blanks.split(QLatin1Char(' ')))), blanks);
    for (const char* none : {"\"", "\"\"", ".KVPL.mp3", "list.KVP"})
        EXPECT_TRUE(commandLinePlaylist(QString::fromLatin1(none)).isEmpty()) << none;
    EXPECT_EQ(commandLinePlaylist(QStringLiteral(".kvpl")), QStringLiteral(".kvpl"));
}

TEST_F(StartupTest, M3uPlaylistsOnTheCommandLineLoadAsWell) {
    dir.write("media/x.mp3", "x");
    dir.write("media/y.mp3", "x");
    // As a file manager starts the player: the bare path, blanks and all.
    start(dir.write("my lists/evening.M3U8", "#EXTM3U\n#EXTINF:5,Ex\n../media/x.mp3\n../media/y.mp3\n"));
    EXPECT_EQ(entryNames(playlists.at(Playlists::kA)), (QStringList{"Ex", "y.mp3"}));

    RecordingView other;
    runStartup(context, other, QStringLiteral("alice"),
               QStringLiteral("\"%1\"").arg(dir.write("old.m3u", "media/x.mp3\r\n")));
    EXPECT_EQ(entryNames(playlists.at(Playlists::kB)), QStringList{"x.mp3"});
    EXPECT_EQ(playlists.shownIndex(), Playlists::kB);
}

TEST_F(StartupTest, MediaFilesAndTheHiddenSwitchOnTheCommandLine) {
    start(dir.write("song.mp3", "x"));
    EXPECT_TRUE(playlists.at(Playlists::kA).isEmpty());
    EXPECT_EQ(view.pattern, kDefaultPatternList);

    for (const char* line : {"/qxvtr", "abc/QXVTRdef", "/QxVtR"}) {
        RecordingView v;
        runStartup(context, v, QStringLiteral("alice"), QString::fromLatin1(line));
        EXPECT_EQ(v.pattern, QStringLiteral("*.*")) << line;
        EXPECT_EQ(state.patternList, kDefaultPatternList);
    }
}

TEST_F(StartupTest, AFailingStepSkipsOnlyItself) {
    const QString named = playlistFile("list.KVPL", 2, "n");
    set(table.onTop(), "yes");
    set(table.colorToStart(), "grey");
    set(table.joystickCode(3), "99999");
    set(table.soeStartPath(), "1");
    view.refuseFolder = true;
    const QStringList failed = start(named);
    EXPECT_TRUE(failed.contains("on top"));
    EXPECT_TRUE(failed.contains("start colour"));
    EXPECT_TRUE(failed.contains("joystick code"));
    EXPECT_TRUE(failed.contains("start folder"));
    // Everything after the failures still happened.
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 2);
    EXPECT_EQ(view.count, 2);
    EXPECT_EQ(state.joystickCodes[4], -5);
    EXPECT_EQ(view.pattern, kDefaultPatternList);
}

TEST_F(StartupTest, NumbersOutOfRangeFailOnlyTheirStep) {
    set(table.colorToStart(), "1e300");
    set(table.joystickCode(0), "1e300");
    set(table.onTop(), "1e400");
    EXPECT_EQ(start(), QStringList({"on top", "start colour", "joystick code"}));
    EXPECT_EQ(state.joystickCodes[1], -2);
    // The panels keep their light grey, and the marker its matching colour.
    EXPECT_EQ(view.panel, QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(view.marker, QColor(68, 68, 72));

    for (const char* colour : {"-1", "16777216", "16777215.5", "-1e300", "nan", "inf", "&H1000000"}) {
        set(table.colorToStart(), colour);
        AppState fresh;
        RecordingView v;
        LifecycleContext again{store, table, keys, dialogs, fresh, fields, playlists};
        EXPECT_EQ(runStartup(again, v, QStringLiteral("alice"), {}),
                  QStringList({"on top", "start colour", "joystick code"}))
            << colour;
        EXPECT_EQ(v.panel, QColor(0xC0, 0xC0, 0xC0)) << colour;
    }
    set(table.colorToStart(), "16777215.4"); // rounds to white
    start();
    EXPECT_EQ(view.panel, QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(view.marker, QColor(5, 5, 9));
}

TEST_F(StartupTest, StartFolderOnlyWhenTheSwitchReadsOne) {
    set(table.autoSavePath(), dir.file("lists/auto.KVPL"));
    set(table.soeStartPath(), "0");
    start();
    EXPECT_TRUE(view.startFolders.isEmpty());
    set(table.soeStartPath(), "1");
    start();
    EXPECT_EQ(view.startFolders, QStringList{dir.file("lists/auto.KVPL")});
}

TEST_F(StartupTest, ShutdownStoresTheTimeModeAndTheAutoSave) {
    const QString autoSave = playlistFile("auto.KVPL", 2, "a");
    set(table.playlistOnExit(), "1");
    set(table.autoSavePath(), autoSave);
    start();
    playlists.at(Playlists::kA).append(QStringLiteral("extra.mp3"), dir.write("media/extra.mp3", "x"));
    runShutdown(context, QStringLiteral("R"));
    EXPECT_EQ(store.read("OtherSettings", "EorR", {}), QStringLiteral("R"));
    EXPECT_TRUE(readAll(autoSave).contains("extra.mp3*"));

    // Shift held: an empty A leaves the file alone; without Shift the file goes.
    playlists.at(Playlists::kA).clear();
    keys.shift = true;
    runShutdown(context, QStringLiteral("E"));
    EXPECT_TRUE(QFile::exists(autoSave));
    keys.shift = false;
    runShutdown(context, QStringLiteral("E"));
    EXPECT_FALSE(QFile::exists(autoSave));
    EXPECT_TRUE(dialogs.messages.empty());
}

// Each way a restore can fall short of the whole auto-save file: the file is
// kept as it was beside the new one, and a later whole restore leaves that
// copy alone.
TEST_F(StartupTest, AnAutoSaveNotTakenWholeIsKeptAtExit) {
    const QByteArray entry = "a.mp3*" + QFile::encodeName(dir.write("media/a.mp3", "x")) + "\r\n";
    const struct {
        const char* row;
        QByteArray bytes;
        bool problem;
        QStringList restored;
    } rows[] = {
        {"entry on a missing medium", entry + "b.mp3*/media/stick/b.mp3\r\n!@#$%\r\n", false, {"a.mp3"}},
        {"damaged mid-way", entry + "broken line\r\nc.mp3*/x\r\n!@#$%\r\n", true, {"a.mp3"}},
        {"no end marker", entry, true, {"a.mp3"}},
        {"over the size cap", entry + QByteArray(kMaxPlaylistFileBytes, 'x'), true, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.row);
        TempDir place;
        const QString autoSave = place.write("TempSave.KVPL", row.bytes);
        set(table.playlistOnExit(), "1");
        set(table.autoSavePath(), autoSave);
        Playlists lists;
        AppState fresh;
        FakeDialogs shown;
        LifecycleContext run{store, table, keys, shown, fresh, fields, lists};
        RecordingView v;
        runStartup(run, v, QStringLiteral("alice"), {});
        EXPECT_EQ(entryNames(lists.at(Playlists::kA)), row.restored);
        EXPECT_EQ(shown.messages.size(), row.problem ? 1u : 0u);
        runShutdown(run, QStringLiteral("E"));
        if (row.restored.isEmpty())
            EXPECT_FALSE(QFileInfo::exists(autoSave));
        else
            EXPECT_EQ(readAll(autoSave), entry + "!@#$%\r\n");
        EXPECT_TRUE(readAll(autoSave + ".previous") == row.bytes);

        // The next start takes the file whole: the kept copy stays as it is.
        Playlists next;
        AppState nextState;
        LifecycleContext again{store, table, keys, shown, nextState, fields, next};
        runStartup(again, v, QStringLiteral("alice"), {});
        next.at(Playlists::kA).clear();
        runShutdown(again, QStringLiteral("E"));
        EXPECT_FALSE(QFileInfo::exists(autoSave));
        EXPECT_TRUE(readAll(autoSave + ".previous") == row.bytes);
    }
}

TEST_F(StartupTest, APipeAtTheAutoSavePathIsNeverReadWaitedOnOrReplaced) {
    const QString autoSave = dir.file("TempSave.KVPL");
    ASSERT_EQ(::mkfifo(QFile::encodeName(autoSave).constData(), 0600), 0);
    set(table.playlistOnExit(), "1");
    set(table.autoSavePath(), autoSave);
    start();
    EXPECT_TRUE(playlists.at(Playlists::kA).isEmpty());
    playlists.at(Playlists::kA).append(QStringLiteral("a.mp3"), dir.write("media/a.mp3", "x"));
    runShutdown(context, QStringLiteral("E"));
    EXPECT_TRUE(QFileInfo(autoSave).isFile() == false && QFileInfo::exists(autoSave));
    EXPECT_FALSE(QFileInfo::exists(autoSave + ".previous"));
    playlists.at(Playlists::kA).clear();
    runShutdown(context, QStringLiteral("E"));
    EXPECT_TRUE(QFileInfo::exists(autoSave));
}

TEST_F(StartupTest, AWholeRestoreKeepsNoCopy) {
    const QString autoSave = playlistFile("auto.KVPL", 2, "a");
    set(table.playlistOnExit(), "1");
    set(table.autoSavePath(), autoSave);
    start();
    playlists.at(Playlists::kA).clear();
    runShutdown(context, QStringLiteral("E"));
    EXPECT_FALSE(QFileInfo::exists(autoSave));
    EXPECT_FALSE(QFileInfo::exists(autoSave + ".previous"));
}

} // namespace
