// The main window's start-up and shut-down, without the window, and the end signals that lead to it.
#include "app/EndSignals.h"
#include "core/AppState.h"
#include "core/CommandLine.h"
#include "core/MainWindowState.h"
#include "core/StartColour.h"
#include "core/Startup.h"
#include "platform/MemorySettingsStore.h"
#include "playlist/PlaylistFile.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "support/EntryNames.h"
#include "support/FakeSeams.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include <csignal>
#include <stdexcept>
// Qt and gtest come with the test programs' precompiled headers.

namespace {
using namespace Qt::StringLiterals;

// One run of the player, started at once: its own state and lists, and what start-up asked of the window.
struct Player : StartupView {
    AppState state;
    MainWindowState fields;
    Playlists lists;
    FakeDialogs dialogs;
    int onTopPresses = 0, count = -1;
    QColor panel, marker;
    QStringList startFolders, captions = QStringList(10, QString());
    bool polling = true, remaining = false, clearAll = false;
    QString pattern;
    LifecycleContext context;
    QStringList failed;
    Player(SettingsStore& store, const SettingsTable& table, KeyState& keys, const QString& commandLine)
        : context{store, table, keys, dialogs, state, fields, lists},
          failed(runStartup(context, *this, u"alice"_s, commandLine)) {}
    QStringList a() const { return entryNames(lists.at(Playlists::kA)); }
    void close(const char* timeMode = "E") { runShutdown(context, QString::fromLatin1(timeMode)); }
    void setWindowSizeTwips(int, int) override {}
    void setPresetCaption(int i, const QString& caption) override { captions[i] = caption; }
    void pressOnTop() override { ++onTopPresses; }
    void applyPanelColour(const QColor& colour) override { panel = colour; }
    void openStartFolder(const QString& path) override {
        if (!QFileInfo(QFileInfo(path).path()).isDir()) // as the browser refuses a folder that is not there
            throw std::runtime_error("no such folder");
        startFolders << path;
    }
    void setJoystickPolling(bool on) override { polling = on; }
    void setTimeDisplayRemaining() override { remaining = true; }
    void setBrowserPattern(const QString& p) override { pattern = p; }
    void fitSmallButtons() override {}
    void setMarkerColour(const QColor& colour) override { marker = colour; }
    void showCount(int n) override { count = n; }
    void enableClearAll() override { clearAll = true; }
};

class StartupTest : public ::testing::Test {
protected:
    TempDir dir;
    MemorySettingsStore store;
    SettingsTable table{u"alice"_s, dir.path()};
    FakeKeyState keys;

    Player start(const QString& commandLine = {}) { return Player(store, table, keys, commandLine); }
    void set(const SettingDef& def, const QString& value) { store.write(def.section, def.key, value); }
    QString playlistFile(const QString& relative, int count, const QString& prefix = "a") {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            const QString name = prefix + QString::number(i) + ".mp3";
            text += (name + "*" + dir.write("media/" + name) + "\r\n").toUtf8();
        }
        return dir.write(relative, text + "!@#$%\r\n");
    }
};

// Each setting has its own reading rule; a second start reads the other side of each. Colours are 0x00BBGGRR,
// the marker the panel's opposite within range; the hidden switch lists every file, the stored list kept.
TEST_F(StartupTest, EachSettingFollowsItsOwnReadingRule) {
    const std::tuple<SettingDef, QString, QString> rows[] = {
        {table.onTop(), "1.0", "2"},
        {table.closeOnFinish(), "2", "1"},
        {table.joystickUsed(), "t", "T"},
        {table.deviceTab(), "True", "0"},
        {table.nameConvert(), "5", "0"},
        {table.eorR(), "R", "r"},
        {table.soeStartPath(), "1", "2"},
        {table.autoSavePath(), dir.file("auto.KVPL"), "x"},
        {table.preName(4), "Jazz", "5"},
        {table.vStayOnTop(), "1", "0"},
        {table.vidExten(), "*.mkv", "*.avi"},
        {table.colorToStart(), "2113664", "16777215.4"},
        {table.addedExten(), "*.mp3", "*.ogg"},
        {table.gapless(), "0", "true"}};
    auto seen = [](const Player& p) {
        return QList<int>() << p.state.onTop << p.onTopPresses << p.state.closeOnFinish
                            << p.state.joystickUsed << p.polling << p.state.deviceTab << p.lists.tabCount()
                            << p.state.nameConvert << p.remaining << p.fields.elapsedMode << p.clearAll
                            << p.state.videoOnTop << (p.lists.shownIndex() == Playlists::kA)
                            << p.state.gapless;
    };
    auto texts = [](const Player& p) {
        return QStringList{p.startFolders.join("|"), p.captions[4],           p.state.videoList,
                           p.panel.name(),           p.marker.name(),         p.pattern,
                           p.state.patternList,      p.state.presetFolders[9]};
    };
    for (const auto& [def, one, other] : rows)
        set(def, one);
    const Player first = start();
    EXPECT_EQ(seen(first), QList<int>({1, 1, 0, 0, 0, 1, 3, 1, 1, 0, 1, 1, 1, 0}));
    EXPECT_EQ(texts(first), QStringList({dir.file("auto.KVPL"), "Jazz", "*.mkv", "#804020", "#84c4e8",
                                         "*.mp3", "*.mp3", dir.path() + "/"}));
    for (const auto& [def, one, other] : rows)
        set(def, other);
    const Player second = start(u"abc/qxvtrDEF"_s);
    EXPECT_EQ(seen(second), QList<int>({0, 0, 1, 1, 1, 0, 2, 0, 0, 1, 1, 0, 1, 1}));
    EXPECT_EQ(texts(second),
              QStringList({"", "5", "*.avi", "#ffffff", "#050509", "*.*", "*.ogg", dir.path() + "/"}));
    EXPECT_EQ(store.writeCount(), 2 * int(std::size(rows))); // start-up itself writes nothing
    EXPECT_EQ(valueFromColour(QColor(0x80, 0x40, 0x20)), 0x204080);
    EXPECT_EQ(colourFromValue(1e41), QColor(0, 0, 0)); // no colour, but no undefined conversion either
}

TEST_F(StartupTest, AFailingStepSkipsOnlyItself) {
    const QString named = playlistFile("my lists/two  blanks \"hi\".kvpl", 2);
    set(table.onTop(), "yes");
    set(table.colorToStart(), "-1");
    set(table.joystickCode(3), "99999");
    set(table.soeStartPath(), "1");
    set(table.autoSavePath(), "/no/such/folder/auto.KVPL");
    set(table.gapless(), "junk");
    const Player run = start("\"" + named + "\"");
    EXPECT_EQ(run.failed,
              QStringList({"on top", "start colour", "joystick code", "start folder", "gapless"}));
    EXPECT_TRUE(run.state.gapless);
    // What follows a failure still happens; the quotes around the whole line are taken off, not those inside.
    EXPECT_EQ(run.state.joystickCodes[4], -5);
    EXPECT_EQ(run.panel.name() + run.marker.name(), "#c0c0c0#444448"); // the default grey
    EXPECT_EQ(run.count, 2);
}

// Shift held at start leaves A empty; a playlist on the command line then goes to B, shown.
TEST_F(StartupTest, AutoSaveIsRestoredUnlessShiftIsHeldAndWrittenAtClose) {
    set(table.playlistOnExit(), "1");
    const QString autoSave = playlistFile("auto.KVPL", 2);
    set(table.autoSavePath(), autoSave);
    keys.shift = true;
    EXPECT_TRUE(start().a().isEmpty());
    keys.shift = false;
    Player run = start(playlistFile("named.kvpl", 3, "e"));
    EXPECT_EQ(run.a(), QStringList({"a0.mp3", "a1.mp3"}));
    EXPECT_TRUE(run.lists.shownIndex() == Playlists::kB && run.count == 3);

    run.lists.at(Playlists::kA).append(u"extra.mp3"_s, dir.write("media/extra.mp3"));
    run.close("R");
    EXPECT_EQ(readSetting(store, table.eorR()), u"R"_s);
    EXPECT_EQ(start().a(), QStringList({"a0.mp3", "a1.mp3", "extra.mp3"}));
    EXPECT_FALSE(QFile::exists(autoSave + ".previous") || !run.dialogs.messages.empty());

    // A file too large to read is not restored, and not lost with the empty list at close.
    ASSERT_TRUE(QFile(dir.write("auto.KVPL", "x*/x\r\n")).resize(kMaxPlaylistFileBytes + 1));
    Player again = start();
    EXPECT_TRUE(again.a().isEmpty() && again.dialogs.messages.size() == 1u);
    again.close();
    EXPECT_FALSE(QFileInfo::exists(autoSave));
    EXPECT_EQ(QFileInfo(autoSave + ".previous").size(), kMaxPlaylistFileBytes + 1);
    // An older kept file gives way to a newer one; a folder at the path is neither kept nor removed.
    dir.write("auto.KVPL", "cut*/m/cut.mp3");
    start().close();
    EXPECT_EQ(readAll(autoSave + ".previous"), "cut*/m/cut.mp3");
    QFile::remove(autoSave);
    dir.mkdir("auto.KVPL");
    start().close();
    EXPECT_TRUE(QFileInfo(autoSave).isDir() && readAll(autoSave + ".previous") == "cut*/m/cut.mp3");
    // A file that is no playlist (a settings file may name any; this one's lines all hold a "*", but no
    // playlist end line) is neither replaced nor removed; a time mode the store refused is told too. With
    // the switch off nothing is written.
    QDir().rmdir(autoSave);
    const QString notes = dir.write("notes.txt", "* a*b\n* my notes\n");
    store.failure = u"full"_s;
    for (auto [on, entry, told] : {std::tuple{"1", true, 2u}, {"1", false, 2u}, {"0", true, 1u}}) {
        set(table.playlistOnExit(), on);
        Player run = start();
        if (*on == '1')
            run.state.autoSavePath = notes;
        if (entry)
            run.lists.at(Playlists::kA).append(u"x.mp3"_s, u"/m/x.mp3"_s);
        run.close();
        EXPECT_TRUE(readAll(notes) == "* a*b\n* my notes\n" && run.dialogs.messages.size() == told)
            << on << entry;
    }
    EXPECT_FALSE(QFileInfo::exists(autoSave));
}

TEST(EndSignals, OnlyTheFirstInstanceTakesThemAndEachIsAnsweredOnTheEventLoop) {
    EndSignals endSignals, second;
    int seen = 0;
    QObject::connect(&endSignals, &EndSignals::requested, [&seen] { ++seen; });
    ASSERT_TRUE(endSignals.installed() && !second.installed());
    ASSERT_TRUE(std::raise(SIGHUP) == 0 && seen == 0); // not answered from inside the handler
    EXPECT_TRUE(waitUntil([&] { return seen == 1; }));
}

} // namespace

// A second start hands its playlist to the running player, which runs in another folder: a relative path is
// made whole first, in quotes (the receiver takes off one pair); anything else goes as it was given.
TEST(CommandLine, AHandedOverPlaylistIsNamedFromTheFolderItWasStartedIn) {
    for (auto [line, handed] : {std::pair{u"rel.kvpl"_s, u"\"/w/d/rel.kvpl\""_s},
                                {u"\"sub dir/\"q\".M3U\""_s, u"\"/w/d/sub dir/\"q\".M3U\""_s},
                                {u"/abs/a.kvpl"_s, u"/abs/a.kvpl"_s},
                                {u"song.mp3"_s, u"song.mp3"_s},
                                {u""_s, u""_s}}) {
        EXPECT_EQ(commandLineForHandOver(line, "/w/d"), handed) << line.toStdString();
        if (!handed.isEmpty() && handed != line) {
            EXPECT_EQ(commandLinePlaylist(handed), handed.mid(1, handed.size() - 2));
        }
    }
}

// A playlist named with bytes that are not UTF-8 cannot be opened by its decoded name, which names another
// file or none: it is taken out of the command line (the hidden switch stays) and named for the message.
TEST(CommandLine, APlaylistNameThatIsNotUtf8IsTakenOutAndNamed) {
    struct Case {
        QList<QByteArray> given;
        QString line, unnamable;
    };
    for (const Case& c :
         {Case{{"my", "list.kvpl"}, u"my list.kvpl"_s, {}}, Case{{"caf\xC3\xA9.m3u8"}, u"café.m3u8"_s, {}},
          Case{{"caf\xE9.kvpl"}, {}, u"caf\uFFFD.kvpl"_s},
          Case{{"/x/QXVTR/caf\xE9.M3U"}, u"/QXVTR"_s, u"/x/QXVTR/caf\uFFFD.M3U"_s},
          Case{{"caf\xE9.mp3"}, u"caf\uFFFD.mp3"_s, {}}, // no playlist: ignored as it is
          Case{{}, {}, {}}}) {
        const CommandLineArguments arguments = commandLineArguments(c.given);
        EXPECT_TRUE(arguments.line == c.line && arguments.unnamablePlaylist == c.unnamable)
            << arguments.line.toStdString() << " | " << arguments.unnamablePlaylist.toStdString();
    }
}
