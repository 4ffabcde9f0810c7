#include "browser/PatternList.h"
#include "playlist/AddFiles.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistModel.h"
#include "support/EntryNames.h"
#include "support/TempDir.h"
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDefaultPatterns = "*.kvpl;*.m3u;*.m3u8;*.vob;*.asf;*.wav;*.mid;*.mp3;*.mp2;*.mp4;*.mpeg;*.mpg;"
                                 "*.mpe;*.avi;*.mov;*.mpa;*.asx";

QStringList names(const PlaylistModel& model) {
    return entryNames(model);
}

// Stands in for loading a playlist file: records the path and appends one
// marker entry, so the order of loads among appends shows in the model.
struct RecordingLoader {
    PlaylistModel& model;
    QStringList loaded;
    PlaylistLoader fn() {
        return [this](const QString& path) {
            loaded << path;
            model.append("<loaded>", path);
        };
    }
};

} // namespace

TEST(AddBrowserFile, AppendsOrLoadsAndAllowsDuplicates) {
    TempDir dir;
    const QString song = dir.write("song.mp3");
    dir.write("list.KvPl");
    PlaylistModel model;
    RecordingLoader loader{model, {}};

    addBrowserFile(model, dir.path(), "song.mp3", loader.fn());
    const AddOutcome again = addBrowserFile(model, dir.path(), "song.mp3", loader.fn());
    EXPECT_EQ(again.appended, 1);
    EXPECT_EQ(again.lastName, "song.mp3");
    ASSERT_EQ(model.count(), 2);
    EXPECT_EQ(model.path(1), song);
    EXPECT_FALSE(model.checked(1));

    const AddOutcome load = addBrowserFile(model, dir.path(), "list.KvPl", loader.fn());
    EXPECT_EQ(load.playlistsLoaded, 1);
    EXPECT_EQ(load.appended, 0);
    EXPECT_EQ(loader.loaded, QStringList{dir.file("list.KvPl")});

    // A file deleted since the list was read still goes in, with no path.
    addBrowserFile(model, dir.path(), "gone.mp3", loader.fn());
    EXPECT_EQ(model.name(3), "gone.mp3");
    EXPECT_EQ(model.path(3), "");
    EXPECT_EQ(addBrowserFile(model, dir.path(), "", loader.fn()).appended, 0);
}

TEST(AddAll, SkipsPlaylistFilesButRemembersTheLastName) {
    TempDir dir;
    dir.write("a.mp3");
    dir.write("b.wav");
    PlaylistModel model;
    const AddOutcome outcome =
        addAllFiles(model, dir.path(), {"a.mp3", "x.kvpl", "b.wav", "mix.m3u", "y.KVPL", "z.M3U8"});
    EXPECT_EQ(names(model), QStringList({"a.mp3", "b.wav"}));
    EXPECT_EQ(model.path(1), dir.file("b.wav"));
    EXPECT_EQ(outcome.appended, 2);
    EXPECT_EQ(outcome.lastName, "z.M3U8");

    const AddOutcome onlyLists = addAllFiles(model, dir.path(), {"x.kvpl"});
    EXPECT_EQ(onlyLists.appended, 0);
    EXPECT_EQ(model.count(), 2);
}

TEST(AddFolder, AddsTheFolderThenEachImmediateSubfolderNeverDeeper) {
    TempDir dir;
    dir.write("top.mp3");
    dir.write("S2/s2.mp3");
    dir.write("S1/s1b.mp3");
    dir.write("S1/s1a.mp3");
    dir.write("S1/notes.txt");
    dir.write("S1/list.kvpl");
    dir.write("S1/Deep/deep.mp3");
    dir.write(".hidden/h.mp3");
    PlaylistModel model;
    const PatternList patterns(kDefaultPatterns);

    const AddOutcome outcome =
        addFolderAndSubfolders(model, dir.path(), listMatchingFiles(dir.path(), patterns), patterns);
    EXPECT_EQ(names(model), QStringList({"top.mp3", "s1a.mp3", "s1b.mp3", "s2.mp3"}));
    EXPECT_EQ(model.path(1), dir.file("S1/s1a.mp3"));
    EXPECT_EQ(outcome.appended, 4);
    EXPECT_EQ(outcome.lastName, "s2.mp3");

    model.clear();
    AddFolderFiles(model, dir.file("S1"), patterns);
    EXPECT_EQ(names(model), QStringList({"s1a.mp3", "s1b.mp3"}));
}

TEST(AddDropped, AppendsAcceptedFilesAndLoadsPlaylistFilesInOrder) {
    TempDir dir;
    const QString a = dir.write("Music/a.MP3");
    const QString list = dir.write("Music/list.kvpl");
    const QString text = dir.write("Music/notes.txt");
    const QString b = dir.write("Music/b.wav");
    const QString folder = dir.mkdir("Music/Rock");
    const QString dottedFolderFile = dir.write("Vol.mp3/track");
    const QString m3u = dir.write("Music/mix.M3U");
    const QString m3u8 = dir.write("Music/mix.m3u8");
    PlaylistModel model;
    RecordingLoader loader{model, {}};

    const AddOutcome outcome = addDroppedFiles(model, {a, text, list, folder, dottedFolderFile, b, m3u8, m3u},
                                               kDefaultPatterns, loader.fn());
    EXPECT_EQ(names(model), QStringList({"a.MP3", "<loaded>", "b.wav", "<loaded>", "<loaded>"}));
    EXPECT_EQ(model.path(0), a);
    EXPECT_EQ(loader.loaded, (QStringList{list, m3u8, m3u}));
    EXPECT_EQ(outcome.appended, 2);
    EXPECT_EQ(outcome.playlistsLoaded, 3);
    EXPECT_TRUE(outcome.lastName.isEmpty());
}

TEST(AddDropped, KeepsMissingFilesAndOddPaths) {
    PlaylistModel model;
    addDroppedFiles(model, {"/no/such/file.mp3", "C:\\Music\\x.mp3", "bare.mp3", ""}, kDefaultPatterns, {});
    EXPECT_EQ(names(model), QStringList({"file.mp3", "x.mp3", "bare.mp3"}));
    EXPECT_EQ(model.path(0), "");
}

TEST(AddDropped, StopsWhenThePlaylistIsFull) {
    PlaylistModel model;
    model.appendEntries(std::vector<PlaylistEntry>(kMaxPlaylistEntries - 1, PlaylistEntry{"x", "", false}));
    const AddOutcome outcome = addDroppedFiles(model, {"/a.mp3", "/b.mp3", "/c.mp3"}, kDefaultPatterns, {});
    EXPECT_EQ(outcome.appended, 1);
    EXPECT_TRUE(outcome.full);
    EXPECT_EQ(model.count(), kMaxPlaylistEntries);
    EXPECT_EQ(model.name(kMaxPlaylistEntries - 1), "a.mp3");
}

namespace {
// Files and folders under names given as raw bytes (not UTF-8 ones too),
// removed again at the end: the temporary folder's own clean-up goes by
// decoded names and cannot reach them.
class RawNames {
public:
    explicit RawNames(const TempDir& dir) : root_(QFile::encodeName(dir.path()) + '/') {}
    ~RawNames() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            ::remove(it->constData());
    }
    void file(const QByteArray& name) {
        const int fd = ::open(add(name).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    void folder(const QByteArray& name) { ASSERT_EQ(::mkdir(add(name).constData(), 0700), 0); }

private:
    const QByteArray& add(const QByteArray& name) {
        made_.push_back(root_ + name);
        return made_.back();
    }
    QByteArray root_;
    std::vector<QByteArray> made_;
};
} // namespace

TEST(AddFolder, AnyNameIsSavedAndLoadedBackAndUndecodableOnesAreNotOffered) {
    TempDir dir;
    RawNames raw(dir);
    for (const QByteArray name :
         {"*NSYNC.wav", "x\ry.wav", "a.wav", "z.wav", "line\nbreak.wav", "caf\xE9.wav"})
        raw.file(name);
    raw.folder("Sub\xE9");
    raw.file("Sub\xE9/in.wav");
    const PatternList patterns(kDefaultPatterns);
    PlaylistModel model;
    addFolderAndSubfolders(model, dir.path(), listMatchingFiles(dir.path(), patterns), patterns);
    EXPECT_EQ(names(model),
              QStringList({QString::fromUtf8(u8"∗NSYNC.wav"), "a.wav", QString::fromUtf8(u8"line␊break.wav"),
                           QString::fromUtf8(u8"x␍y.wav"), "z.wav"}));
    for (const PlaylistEntry& entry : model.entries())
        EXPECT_TRUE(isExistingFile(entry.path)) << entry.path.toStdString();
    EXPECT_EQ(model.path(0), dir.file("*NSYNC.wav"));

    const QString list = dir.file("list.KVPL");
    ASSERT_TRUE(writePlaylistFile(model, list));
    const PlaylistReadResult back = readPlaylistFile(list, isExistingFile);
    EXPECT_TRUE(back.whole());
    ASSERT_EQ(back.entries.size(), model.entries().size());
    for (size_t i = 0; i < back.entries.size(); ++i) {
        EXPECT_EQ(back.entries[i].name, model.entries()[i].name);
        EXPECT_EQ(back.entries[i].path, model.entries()[i].path);
    }
}

TEST(AddDropped, NamesGetLookAlikesAndPathsStayExact) {
    TempDir dir;
    const QString odd = dir.write("*x\ny.mp3");
    PlaylistModel model;
    addDroppedFiles(model, {odd}, kDefaultPatterns, {});
    EXPECT_EQ(names(model), QStringList{QString::fromUtf8(u8"∗x␊y.mp3")});
    EXPECT_EQ(model.path(0), odd);
}
