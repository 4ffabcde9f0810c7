#include "core/AppState.h"
#include "playlist/DeviceCopy.h"
#include "playlist/DeviceNames.h"
#include "playlist/DeviceTransfer.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/PlaylistSearch.h"
#include "playlist/Playlists.h"
#include "support/EntryNames.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include <QDir>
#include <QFileInfo>
#include <QSemaphore>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <sys/stat.h>
// The device tab's transfer: which files go, under which names; the device holds whole copies in its folder.
namespace {
using namespace Qt::StringLiterals;
TEST(DeviceNames, RenamingFollowsTheFoldersAndNoNameLeavesTheDeviceFolder) {
    const std::vector<std::tuple<QString, QString, bool, std::optional<QString>>> names = {
        {"x", "/Music/Artist/Album/01 Song.mp3", true, "Artist - Album - 01 Song.mp3"},
        {"Shown.mp3", "/01 Song.mp3", true, "Shown.mp3"},
        {"x", "/Artist/01.mp3", true, "Artist - 01.mp3"},
        {"x", "/m/AC\\DC/Back in Black/01 Hells Bells.mp3", true,
         "AC_DC - Back in Black - 01 Hells Bells.mp3"},
        {QString(250, u'é') + ".mp3", "", false, QString(125, u'é') + ".mp3"}, // 255 bytes at most
        {"x", "loose.mp3", true, std::nullopt},
        // Crafted names stay plain names a FAT player takes.
        {"../../etc/passwd", "", false, ".._.._etc_passwd"},
        {"..", "", false, "__"},
        {"a:b*c?\"<>|\\d\x01\x7F.mp3", "", false, "a_b_c______d__.mp3"},
        {"name. ", "", false, "name__"},
        {"", "", false, "_"},
        {"x", "/m/..:/a*b/c.mp3", true, ".._ - a_b - c.mp3"},
    };
    for (const auto& [shown, path, renaming, name] : names)
        EXPECT_EQ(DeviceNames::destinationName(shown, path, renaming), name) << path.toStdString();
}
// A transfer of the device list; free space answered in turn (the last for good); `gated`: copies wait for
// go.
struct Transfer : ::testing::Test {
    TempDir dir;
    Playlists playlists;
    AppState state;
    PlaylistModel& list = playlists.at(Playlists::kDevice);
    std::deque<double> freeSpace{1e9};
    QStringList failures;
    QSemaphore go;
    bool gated = false;
    DeviceTransfer transfer{
        list,
        {[this](const QString&) {
             const double free = freeSpace.front();
             if (freeSpace.size() > 1)
                 freeSpace.pop_front();
             return free;
         },
         {},
         [this](const QString& source, const QString& folder, const QString& name, bool* replaced) {
             if (gated)
                 go.acquire();
             return copyIntoFolder(source, folder, name, nullptr, replaced);
         }}};
    void SetUp() override {
        playlists.setTabCount(3);
        playlists.setShown(Playlists::kDevice);
        QObject::connect(&transfer, &DeviceTransfer::failed, [this](const QString& why) { failures << why; });
    }
    void TearDown() override { go.release(100); }
    QString source(const QString& name, const QByteArray& bytes = "sound") {
        return dir.write("music/" + name, bytes);
    }
    QString device() { return dir.mkdir("device"); }
    void run(const QString& folder, bool renaming = false) { // or with no folder, let the gated copy finish
        folder.isEmpty() ? go.release() : transfer.start(folder, renaming);
        ASSERT_TRUE(waitUntil([&] { return !transfer.running(); }, 20000));
    }
    QStringList onDevice() { return QDir(dir.file("device")).entryList(QDir::Files | QDir::Hidden); }
};
TEST_F(Transfer, FilesThatFitMoveOntoTheDeviceReplacingOlderCopiesWholeUntilACopyFails) {
    list.append("one.mp3", source("one.mp3", QByteArray(1000, 'x')));
    list.append("big.mp3", source("big.mp3", QByteArray(5000, 'x')));
    list.append("../../escape:me.mp3", source("three.mp3", QByteArray(1000, 'x')));
    freeSpace = {5500, 4500}; // 2,000 stay free: big does not fit after the first copy
    run(device());
    EXPECT_EQ(entryNames(list), QStringList{"big.mp3"});
    EXPECT_EQ(onDevice(), (QStringList{".._.._escape_me.mp3", "one.mp3"}));
    list.clear();
    dir.write("device/Artist - Album - 01 Song.mp3", "an older, longer copy");
    list.append("Song", source("Artist/Album/01 Song.mp3", "new song"));
    run(device(), true);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(readAll(dir.file("device/Artist - Album - 01 Song.mp3")), "new song");
    // The user learns which files on the device are gone.
    EXPECT_EQ(failures, QStringList{"These files on the device were replaced by the copies of the same name: "
                                    "Artist - Album - 01 Song.mp3."});
    failures.clear();
    // A failed copy stops the transfer with its entry kept and no partial file.
    list.append("gone.mp3", dir.file("music/gone.mp3"));
    list.append("fine.mp3", source("fine.mp3", "fine"));
    run(device());
    list.removeAt(0);
    run(dir.file("unplugged")); // the device gone: its folder missing, or a file in its place
    run(dir.write("plain"));
    ASSERT_EQ(failures.size(), 3); // each names its file, or the device
    EXPECT_TRUE(failures[0].contains("gone.mp3") && failures[1].contains("unplugged is not there") &&
                failures[2].contains("plain is not there"));
    EXPECT_EQ(entryNames(list), QStringList{"fine.mp3"});
    EXPECT_EQ(onDevice().size(), 3);
}
// A transfer never replaces what it wrote itself (FAT: whatever the letter case); a file that is the
// destination is not copied onto itself; a failure gives the system's reason.
TEST_F(Transfer, OneRunKeepsEveryFileItWroteAndSaysWhyACopyFailed) {
    const QString self = dir.write("device/self.mp3", "mine");
    struct stat before {
    }, after{};
    ::stat(QFile::encodeName(self), &before);
    for (const char* name : {"dup.mp3", "x/dup.mp3", "y/DUP.mp3"})
        list.append(QString(name).section('/', -1), source(name, name));
    list.append("self.mp3", self);
    dir.mkdir("device/taken.mp3");
    list.append("taken.mp3", source("taken.mp3"));
    run(device());
    EXPECT_EQ(onDevice(), (QStringList{"dup (2).mp3", "DUP (3).mp3", "dup.mp3", "self.mp3"}));
    EXPECT_EQ(readAll(dir.file("device/dup (2).mp3")) + readAll(self), "x/dup.mp3mine");
    ::stat(QFile::encodeName(self), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(failures, QStringList{"taken.mp3 could not be copied to " + device() + ": " +
                                    QString::fromLocal8Bit(std::strerror(EISDIR)) + "."});
    EXPECT_EQ(entryNames(list), QStringList{"taken.mp3"});
}
// Copies cut short by a crash leave their hidden files: the next transfer removes those not written lately.
TEST_F(Transfer, TheNextTransferRemovesCopiesLeftByACrash) {
    for (const char* name : {".kivo-0123abcd.part", ".kivo-fedcba98.part", ".kivo-notes.part"})
        dir.write(QString("device/") + name, "part");
    QFile stale(dir.file("device/.kivo-0123abcd.part"));
    ASSERT_TRUE(
        stale.open(QIODevice::ReadWrite) &&
        stale.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
    stale.close();
    run(device());
    EXPECT_TRUE(waitUntil([&] { return !stale.exists(); }));
    EXPECT_EQ(onDevice(), (QStringList{".kivo-fedcba98.part", ".kivo-notes.part"}));
}
TEST(DeviceCopy, CopiesAreWholeWhicheverWayTheBytesGo) {
    TempDir dir;
    QByteArray song(600'001, '\0'); // more than one buffer of the way through this process, and a bit
    for (qsizetype i = 0; i < song.size(); ++i)
        song[i] = static_cast<char>(i * 31 / 7);
    const QString source = dir.write("song.mp3", song);
    const QString empty = dir.write("empty.mp3");
    QTemporaryDir elsewhere("/dev/shm/kivo-test-XXXXXX"); // another file system: the bytes pass through here
    QStringList folders{dir.mkdir("device")};
    if (elsewhere.isValid())
        folders << elsewhere.path();
    for (const QString& folder : folders) {
        EXPECT_EQ(copyIntoFolder(source, folder, "song.mp3") + copyIntoFolder(empty, folder, "empty.mp3"),
                  "");
        EXPECT_EQ(readAll(folder + "/song.mp3"), song);
        EXPECT_TRUE(QFileInfo(folder + "/empty.mp3").isFile());
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary file left
    }
    // A file system that reports no length (the kernel copies nothing of it) still gives the whole file.
    EXPECT_EQ(copyIntoFolder("/proc/self/mounts", folders[0], "mounts"), QString());
    EXPECT_EQ(readAll(folders[0] + "/mounts"), readAll("/proc/self/mounts"));
    EXPECT_FALSE(copyIntoFolder(dir.path(), folders[0], "folder").isEmpty()); // a folder is no file
}
// Closing the window ends a transfer at once: the device holds the file under way whole or not at all.
TEST_F(Transfer, EndingATransferMidCopyLeavesTheFileWholeOrAbsent) {
    const QByteArray big(48 * 1024 * 1024, 'b');
    list.append("big.mp3", source("big.mp3", big));
    {
        DeviceTransfer ending(list, {[](const QString&) { return 1e12; }, {}, {}});
        ending.start(device(), false);
        ASSERT_TRUE(ending.running());
    } // the window goes
    const QStringList left = onDevice();
    EXPECT_TRUE(left.isEmpty() ||
                (left == QStringList{"big.mp3"} && readAll(dir.file("device/big.mp3")) == big))
        << left.join(' ').toStdString();
    const std::atomic<bool> stop{true};
    EXPECT_FALSE(copyIntoFolder(list.path(0), device(), "again.mp3", &stop).isEmpty());
    EXPECT_EQ(onDevice(), left); // and no temporary file
}
// The entry being copied cannot be removed, others can; then it leaves from where it is, no look-alike.
TEST_F(Transfer, TheEntryBeingCopiedStaysUntilItLeavesAndOnlyItLeaves) {
    gated = true;
    for (const char* name : {"one", "two", "three", "four"})
        list.append(name, source(name));
    transfer.start(device(), false);
    ASSERT_TRUE(waitUntil([&] { return transfer.copyingPosition() == 0; }));
    using namespace PlaylistEditing;
    EXPECT_FALSE(deleteSelected(playlists, state, false, 0).changed ||
                 moveSelectedToOther(playlists, state, false, 0).changed);
    EXPECT_TRUE(deleteSelected(playlists, state, false, 1).changed);                     // "two" goes
    PlaylistSearch::search(PlaylistSearch::Mode::Move, "o", playlists, state, false, 0); // all but "one"
    EXPECT_EQ(entryNames(list), (QStringList{"one", "three"}));
    EXPECT_EQ(entryNames(playlists.at(Playlists::kA)), QStringList{"four"});
    clearShown(playlists);
    EXPECT_EQ(entryNames(list), QStringList{"one"});
    run({});
    EXPECT_TRUE(list.isEmpty());
    // One file three times under one name; the first and the third do not fit when measured.
    for (int i = 0; i < 3; ++i)
        list.append("same.mp3", source("same.mp3"));
    const quint64 third = list.id(2);
    freeSpace = {0, 1e9, 0, 1e9};
    transfer.start(device(), false);
    ASSERT_TRUE(waitUntil([&] { return transfer.copyingPosition() == 1; }));
    EXPECT_TRUE(deleteSelected(playlists, state, false, 0).changed); // the third moves where the copy began
    run({});
    EXPECT_EQ(std::make_pair(list.count(), list.id(0)), std::make_pair(1, third));
    EXPECT_EQ(onDevice(), (QStringList{"one", "same.mp3"}));
    EXPECT_TRUE(deleteSelected(playlists, state, false, 0).changed); // nothing is held any more
}
} // namespace
