#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistFileOps.h"
#include "support/EntryNames.h"
#include "support/FakeSeams.h"
#include "support/TempDir.h"
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
using namespace PlaylistTexts;

class PlaylistFileOps : public ::testing::Test {
protected:
    TempDir dir;
    FakeDialogs dialogs;
    PlaylistModel shown;

    // A playlist file over media files that exist, except those named "gone".
    QString playlistOf(const QStringList& names, const QByteArray& end = "!@#$%\r\n",
                       const QString& file = "list.KVPL") {
        QByteArray bytes;
        for (const QString& name : names) {
            const QString media = name.startsWith("gone") ? dir.file(name) : dir.write("media/" + name);
            bytes += (name + "*" + media + "\r\n").toUtf8();
        }
        return dir.write(file, bytes + end);
    }
    QStringList names() const { return entryNames(shown); }
    QStringList messages() const {
        QStringList out;
        for (const auto& m : dialogs.messages)
            out << m.title + ": " + m.text;
        return out;
    }
    static QString problem(const QString& text) { return kProblemTitle + ": " + text; }
};
} // namespace

TEST_F(PlaylistFileOps, LoadAppendsExistingFilesEachTimeAndSkipsMissingOnesSilently) {
    shown.append("already.mp3", "/already");
    const QString list = playlistOf({"a.mp3", "gone.mp3", "b.mp3"});
    LoadPlaylistFile(shown, list, dialogs);
    LoadPlaylistFile(shown, list, dialogs);
    EXPECT_EQ(names(), (QStringList{"already.mp3", "a.mp3", "b.mp3", "a.mp3", "b.mp3"}));
    EXPECT_EQ(shown.path(1), dir.file("media/a.mp3"));
    EXPECT_TRUE(dialogs.messages.empty());

    LoadPlaylistFile(shown, dir.file("none.KVPL"), dialogs);
    LoadPlaylistFile(shown, dir.mkdir("folder.KVPL"), dialogs);
    EXPECT_EQ(shown.count(), 5);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PlaylistFileOps, LoadKeepsWhatWasReadBeforeAnErrorAndReportsIt) {
    LoadPlaylistFile(shown, playlistOf({"a.mp3", "b.mp3"}, ""), dialogs);
    LoadPlaylistFile(shown, playlistOf({"c.mp3"}, "\r\n!@#$%\r\n"), dialogs);
    EXPECT_EQ(names(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(messages(), (QStringList{problem(kLoadError), problem(kLoadError)}));
}

TEST_F(PlaylistFileOps, PlaylistsGrowPastSixteenBitCounts) {
    shown.appendEntries(std::vector<PlaylistEntry>(40000, PlaylistEntry{"x", "/x", false}));
    LoadPlaylistFile(shown, playlistOf({"a.mp3", "b.mp3"}), dialogs);
    EXPECT_EQ(shown.count(), 40002);
    EXPECT_EQ(shown.name(40001), "b.mp3");
    EXPECT_EQ(shown.name(40002), "");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(PlaylistFileOps, LoadStopsWhenThePlaylistIsFull) {
    shown.appendEntries(std::vector<PlaylistEntry>(kMaxPlaylistEntries - 1, PlaylistEntry{"x", "/x", false}));
    LoadPlaylistFile(shown, playlistOf({"a.mp3", "b.mp3"}), dialogs);
    EXPECT_EQ(shown.count(), kMaxPlaylistEntries);
    EXPECT_EQ(shown.name(kMaxPlaylistEntries - 1), "a.mp3");
    EXPECT_EQ(messages(), QStringList{problem(kLoadError)});
}

TEST_F(PlaylistFileOps, DialogLoadAsksForAPlaylistAndReportsItsOwnError) {
    loadPlaylistWithDialog(shown, dialogs); // cancelled
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const auto& request = dialogs.requests[0];
    EXPECT_EQ(request.title, "Kivo Player Playlist");
    EXPECT_EQ(request.fileName, "*.KVPL");
    EXPECT_EQ(request.filter, "*.KVPL");
    EXPECT_EQ(request.defaultExtension, "KVPL");
    EXPECT_TRUE(request.folder.isEmpty());

    dialogs.fileAnswers = {QString("*.KVPL"), playlistOf({"a.mp3"}), dir.file("none.KVPL"),
                           playlistOf({"b.mp3"}, "", "other.KVPL")};
    for (int i = 0; i < 4; ++i)
        loadPlaylistWithDialog(shown, dialogs);
    EXPECT_EQ(names(), (QStringList{"a.mp3", "b.mp3"}));
    EXPECT_EQ(messages(), (QStringList{problem(kDialogLoadError), problem(kDialogLoadError)}));
}

TEST_F(PlaylistFileOps, QuickSaveAddsTheExtensionToTheRememberedPath) {
    shown.append("a.mp3", "/m/a.mp3");
    QString autoSave = dir.file("auto");
    quickSavePlaylist(shown, autoSave, dir.file("default.KVPL"), dialogs);
    EXPECT_EQ(autoSave, dir.file("auto.KVPL"));
    EXPECT_EQ(readAll(autoSave), "a.mp3*/m/a.mp3\r\n!@#$%\r\n");

    QString lower = dir.file("low.kvpl");
    quickSavePlaylist(shown, lower, dir.file("default.KVPL"), dialogs);
    EXPECT_EQ(lower, dir.file("low.kvpl"));
    EXPECT_TRUE(isExistingFile(lower));

    QString empty;
    quickSavePlaylist(shown, empty, dir.file("default"), dialogs);
    EXPECT_EQ(empty, dir.file("default.KVPL"));
    EXPECT_TRUE(isExistingFile(empty));
    EXPECT_TRUE(dialogs.messages.empty());

    QString unwritable = dir.write("plain") + "/under";
    quickSavePlaylist(shown, unwritable, {}, dialogs);
    EXPECT_EQ(messages(), QStringList{problem(kSaveError)});
}

TEST_F(PlaylistFileOps, QuickSaveOfAnEmptyPlaylistTouchesNothing) {
    const QString existing = dir.write("auto.KVPL", "old");
    QString autoSave = existing;
    quickSavePlaylist(shown, autoSave, {}, dialogs);
    EXPECT_EQ(readAll(existing), "old");
    QString unset;
    quickSavePlaylist(shown, unset, dir.file("default"), dialogs);
    EXPECT_TRUE(unset.isEmpty());
    EXPECT_FALSE(isExistingFile(dir.file("default.KVPL")));
}

TEST_F(PlaylistFileOps, SaveAsWritesEvenAnEmptyPlaylistUnderTheChosenName) {
    savePlaylistAs(shown, "/start", dialogs); // cancelled
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].folder, "/start");
    EXPECT_EQ(dialogs.requests[0].fileName, "*.KVPL");

    dialogs.fileAnswers = {dir.file("empty"), dir.mkdir("taken.KVPL")};
    savePlaylistAs(shown, "/start", dialogs);
    EXPECT_EQ(readAll(dir.file("empty.KVPL")), "!@#$%\r\n");
    savePlaylistAs(shown, "/start", dialogs);
    EXPECT_EQ(messages(), QStringList{problem(kSaveError)});
}

TEST_F(PlaylistFileOps, M3uPlaylistsLoadTheirRegularFilesOnlyAndSayWhenCut) {
    const QString a = dir.write("media/a.mp3");
    dir.write("media/b.mp3");
    dir.mkdir("media/folder.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("media/pipe.mp3")).constData(), 0600), 0);
    const QString list = dir.write("lists/mix.m3u", "#EXTM3U\r\n#EXTINF:3,First\r\n../media/a.mp3\r\n"
                                                    "../media/gone.mp3\r\n../media/folder.mp3\r\n"
                                                    "../media/pipe.mp3\r\nhttp://radio/stream\r\n"
                                                    "../media/b.mp3\r\n");
    shown.append("already", "/already");
    LoadPlaylistFile(shown, list, dialogs);
    EXPECT_EQ(names(), (QStringList{"already", "First", "b.mp3"}));
    EXPECT_EQ(shown.entries()[1].seconds, 3);
    EXPECT_TRUE(QFileInfo(shown.path(1)).isFile());
    EXPECT_EQ(QFileInfo(shown.path(1)).canonicalFilePath(), QFileInfo(a).canonicalFilePath());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(loadPlaylist(shown, list, dialogs), PlaylistLoad::Partial); // entries were left out

    // A bad line stops the load as in a .KVPL, and so does a full list.
    shown.clear();
    LoadPlaylistFile(
        shown, dir.write("bad.M3U8", "media/a.mp3\n/" + QByteArray(5000, 'x') + "\nmedia/b.mp3\n"), dialogs);
    EXPECT_EQ(names(), QStringList{"a.mp3"});
    shown.appendEntries(std::vector<PlaylistEntry>(kMaxPlaylistEntries - 2, PlaylistEntry{"x", "/x", false}));
    LoadPlaylistFile(shown, dir.write("two.m3u8", "media/a.mp3\nmedia/b.mp3\nmedia/a.mp3\n"), dialogs);
    EXPECT_EQ(shown.count(), kMaxPlaylistEntries);
    EXPECT_EQ(messages(), (QStringList{problem(kLoadError), problem(kLoadError)}));
}

TEST_F(PlaylistFileOps, SaveAsOffersM3u8AndWritesItByTheChosenName) {
    shown.appendEntries({{"a.mp3", dir.write("media/a.mp3"), false, 0, 12},
                         {"b.mp3", dir.write("media/b.mp3"), false, 0, -1}});
    savePlaylistAs(shown, "/start", dialogs); // cancelled
    EXPECT_EQ(dialogs.requests[0].filter, kSaveDialogFilter);
    EXPECT_TRUE(kSaveDialogFilter.contains("(*.KVPL)") && kSaveDialogFilter.contains("(*.m3u8)"));

    dialogs.fileAnswers = {dir.file("out.m3u8"), dir.file("OUT.M3U"), dir.file("plain")};
    for (int i = 0; i < 3; ++i)
        savePlaylistAs(shown, "/start", dialogs);
    const QByteArray m3u8 = "#EXTM3U\n#EXTINF:12,a.mp3\n" + dir.file("media/a.mp3").toUtf8() +
                            "\n#EXTINF:-1,b.mp3\n" + dir.file("media/b.mp3").toUtf8() + "\n";
    EXPECT_EQ(readAll(dir.file("out.m3u8")), m3u8);
    EXPECT_EQ(readAll(dir.file("OUT.M3U")), m3u8);
    EXPECT_TRUE(readAll(dir.file("plain.KVPL")).endsWith("!@#$%\r\n"));
    EXPECT_TRUE(dialogs.messages.empty());

    // What was saved loads back the same.
    PlaylistModel back;
    LoadPlaylistFile(back, dir.file("out.m3u8"), dialogs);
    EXPECT_EQ(entryNames(back), (QStringList{"a.mp3", "b.mp3"}));
    EXPECT_EQ(back.path(1), shown.path(1));
    EXPECT_EQ(back.entries()[0].seconds, 12);
}

TEST_F(PlaylistFileOps, M3u8SaveLeavesOutPathsWithLineBreaksAndSaysHowMany) {
    shown.append("a.mp3", "/m/a.mp3");
    shown.append("bad", "/m/line\nbreak.mp3");
    shown.append("worse", "/m/carriage\rreturn.mp3");
    dialogs.fileAnswers = {dir.file("out.m3u8"), dir.mkdir("taken.m3u8")};
    savePlaylistAs(shown, "/start", dialogs);
    EXPECT_EQ(readAll(dir.file("out.m3u8")), "#EXTM3U\n#EXTINF:-1,a.mp3\n/m/a.mp3\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("2 entries were not saved"))
        << dialogs.messages[0].text.toStdString();
    // A failed write says only that.
    savePlaylistAs(shown, "/start", dialogs);
    EXPECT_EQ(messages().back(), problem(kSaveError));
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(PlaylistFileOps, ChoosingTheAutoSavePathWritesNothing) {
    QString autoSave = "/old.KVPL";
    EXPECT_FALSE(chooseAutoSavePath(autoSave, "/start", dialogs));
    EXPECT_EQ(autoSave, "/old.KVPL");
    dialogs.fileAnswers = {dir.file("new")};
    EXPECT_TRUE(chooseAutoSavePath(autoSave, "/start", dialogs));
    EXPECT_EQ(autoSave, dir.file("new.KVPL"));
    EXPECT_FALSE(isExistingFile(autoSave));
    EXPECT_EQ(dialogs.requests.back().folder, "/start");
}

TEST_F(PlaylistFileOps, ShutdownWritesAOrDeletesTheAutoSaveFile) {
    const QString autoSave = dir.write("auto", "old");
    const auto save = [&](const QString& path, bool on = true, bool shift = false) {
        return ShutdownSave{on, shift, path, false};
    };
    PlaylistModel a;
    shutdownSavePlaylist(a, save(autoSave, true, true), dialogs); // Shift held
    shutdownSavePlaylist(a, save(autoSave, false), dialogs);
    EXPECT_EQ(readAll(autoSave), "old");

    a.append("a.mp3", "/m/a.mp3");
    shutdownSavePlaylist(a, save(autoSave), dialogs);
    EXPECT_EQ(readAll(autoSave), "a.mp3*/m/a.mp3\r\n!@#$%\r\n"); // no extension added

    a.clear();
    shutdownSavePlaylist(a, save(autoSave), dialogs);
    EXPECT_FALSE(isExistingFile(autoSave));
    shutdownSavePlaylist(a, save(dir.mkdir("folder")), dialogs);
    EXPECT_TRUE(QFileInfo(dir.file("folder")).isDir());
    EXPECT_TRUE(dialogs.messages.empty());

    // A failed save is reported and the shut-down goes on.
    a.append("a.mp3", "/m/a.mp3");
    shutdownSavePlaylist(a, save(""), dialogs);
    shutdownSavePlaylist(a, save(dir.file("missing/auto.KVPL")), dialogs);
    EXPECT_EQ(messages(), (QStringList{problem(kSaveError), problem(kSaveError)}));
}

TEST_F(PlaylistFileOps, ShutdownNeverReplacesOrDeletesAPipe) {
    const QString pipe = dir.file("auto.KVPL");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const auto isPipe = [&pipe] {
        struct stat info;
        return ::stat(QFile::encodeName(pipe).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
    };
    PlaylistModel a;
    shutdownSavePlaylist(a, {true, false, pipe, true}, dialogs);
    EXPECT_TRUE(isPipe());
    EXPECT_TRUE(dialogs.messages.empty());
    a.append("a.mp3", "/m/a.mp3");
    shutdownSavePlaylist(a, {true, false, pipe, true}, dialogs);
    EXPECT_TRUE(isPipe());
    EXPECT_FALSE(QFileInfo::exists(pipe + ".previous"));
    EXPECT_EQ(messages(), QStringList{problem(kSaveError)});
}

TEST_F(PlaylistFileOps, AnIncompleteAutoSaveIsKeptBesideItBeforeItIsReplacedOrDeleted) {
    const QString autoSave = dir.write("auto.KVPL", "first");
    dir.write("auto.KVPL.previous", "older");
    PlaylistModel a;
    a.append("a.mp3", "/m/a.mp3");
    shutdownSavePlaylist(a, {true, false, autoSave, true}, dialogs);
    EXPECT_EQ(readAll(autoSave), "a.mp3*/m/a.mp3\r\n!@#$%\r\n");
    EXPECT_EQ(readAll(autoSave + ".previous"), "first");

    dir.write("auto.KVPL", "second");
    a.clear();
    shutdownSavePlaylist(a, {true, false, autoSave, true}, dialogs);
    EXPECT_FALSE(QFileInfo::exists(autoSave));
    EXPECT_EQ(readAll(autoSave + ".previous"), "second");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"auto.KVPL.previous"});
}
