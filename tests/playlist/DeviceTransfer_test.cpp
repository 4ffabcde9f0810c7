#include "core/AppState.h"
#include "playlist/DeviceCopy.h"
#include "playlist/DeviceNames.h"
#include "playlist/DeviceTransfer.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistSearch.h"
#include "playlist/Playlists.h"
#include "support/EntryNames.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

namespace {
using DeviceNames::destinationName;
using DeviceNames::plainName;

TEST(DeviceNames, RenamingFollowsTheFoldersAndNoNameLeavesTheDeviceFolder) {
    EXPECT_EQ(destinationName(QStringLiteral("Song.mp3"), QStringLiteral("/m/Music/Artist/Album/01 Song.mp3"),
                              false),
              QStringLiteral("Song.mp3"));
    EXPECT_EQ(destinationName(QStringLiteral("x"), QStringLiteral("/Music/Artist/Album/01 Song.mp3"), true),
              QStringLiteral("Artist - Album - 01 Song.mp3"));
    EXPECT_EQ(destinationName(QStringLiteral("x"), QStringLiteral("/Artist/01 Song.mp3"), true),
              QStringLiteral("Artist - 01 Song.mp3"));
    EXPECT_EQ(destinationName(QStringLiteral("Shown.mp3"), QStringLiteral("/01 Song.mp3"), true),
              QStringLiteral("Shown.mp3"));
    EXPECT_EQ(destinationName(QStringLiteral("x"), QStringLiteral("E:\\Artist\\01.mp3"), true),
              QStringLiteral("Artist - 01.mp3"));
    EXPECT_EQ(destinationName(QStringLiteral("x"), QStringLiteral("loose.mp3"), true), std::nullopt);

    // Crafted names stay plain names a FAT player takes.
    EXPECT_EQ(plainName(QStringLiteral("../../etc/passwd")), QStringLiteral(".._.._etc_passwd"));
    EXPECT_EQ(plainName(QStringLiteral("..")), QStringLiteral("__"));
    EXPECT_EQ(plainName(QStringLiteral("a:b*c?\"<>|\\d\x01.mp3")), QStringLiteral("a_b_c______d_.mp3"));
    EXPECT_EQ(plainName(QStringLiteral("name. ")), QStringLiteral("name__"));
    EXPECT_EQ(plainName(QString()), QStringLiteral("_"));
    EXPECT_EQ(destinationName(QStringLiteral("../up.mp3"), QStringLiteral("/a/../up.mp3"), false),
              QStringLiteral(".._up.mp3"));
    EXPECT_EQ(destinationName(QStringLiteral("x"), QStringLiteral("/m/..:/a*b/c.mp3"), true),
              QStringLiteral(".._ - a_b - c.mp3"));
}

struct Transfer : ::testing::Test {
    TempDir dir;
    PlaylistModel list;
    double free = 1e9;
    std::vector<QString> failures;
    int copied = 0;

    QString source(const QString& name, int bytes) {
        QDir().mkpath(dir.file(QStringLiteral("music")));
        return dir.write(QStringLiteral("music/") + name, QByteArray(bytes, 'x'));
    }
    QString device() {
        QDir().mkpath(dir.file(QStringLiteral("device")));
        return dir.file(QStringLiteral("device"));
    }
    void run(const QString& folder, bool renaming = false) {
        DeviceTransfer transfer(list, {[this](const QString&) { return free; }, {}});
        QObject::connect(&transfer, &DeviceTransfer::failed,
                         [this](const QString& why) { failures.push_back(why); });
        QObject::connect(&transfer, &DeviceTransfer::entryCopied, [&] {
            ++copied;
            free -= 1000; // the device fills up
        });
        transfer.start(folder, renaming);
        ASSERT_TRUE(waitUntil([&] { return !transfer.running(); }, 20000));
    }
    QStringList onDevice() {
        return QDir(dir.file(QStringLiteral("device"))).entryList(QDir::Files | QDir::Hidden);
    }
};

TEST_F(Transfer, FilesThatDoNotFitStayAndTheRestMoveOntoTheDevice) {
    list.append(QStringLiteral("one.mp3"), source(QStringLiteral("one.mp3"), 1000));
    list.append(QStringLiteral("big.mp3"), source(QStringLiteral("big.mp3"), 5000));
    list.append(QStringLiteral("three.mp3"), source(QStringLiteral("three.mp3"), 1000));
    free = 5500; // 2,000 stay free: big does not fit; after one copy, 4,500 left
    run(device());
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(copied, 2);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.name(0), QStringLiteral("big.mp3"));
    EXPECT_EQ(onDevice(), (QStringList{QStringLiteral("one.mp3"), QStringLiteral("three.mp3")}));
}

TEST_F(Transfer, RenamesFromFoldersAndReplacesAnOlderCopyWhole) {
    QDir().mkpath(dir.file(QStringLiteral("music/Artist/Album")));
    const QString song = dir.write(QStringLiteral("music/Artist/Album/01 Song.mp3"), "new song");
    dir.write(QStringLiteral("device/Artist - Album - 01 Song.mp3"), "an older, longer copy");
    list.append(QStringLiteral("Song"), song);
    run(device(), true);
    list.append(QStringLiteral("../../escape:me.mp3"), source(QStringLiteral("e.mp3"), 10));
    run(device(), false);
    EXPECT_TRUE(failures.empty());
    EXPECT_TRUE(list.isEmpty());
    QFile copy(dir.file(QStringLiteral("device/Artist - Album - 01 Song.mp3")));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("new song"));
    EXPECT_EQ(onDevice(), (QStringList{QStringLiteral(".._.._escape_me.mp3"),
                                       QStringLiteral("Artist - Album - 01 Song.mp3")}));
}

TEST_F(Transfer, AFailedCopyStopsWithItsEntryKeptAndNoPartialFile) {
    list.append(QStringLiteral("gone.mp3"), dir.file(QStringLiteral("music/gone.mp3")));
    list.append(QStringLiteral("fine.mp3"), source(QStringLiteral("fine.mp3"), 10));
    run(device());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].contains(QStringLiteral("gone.mp3")));
    EXPECT_EQ(list.count(), 2);

    // The device gone: its folder missing.
    failures.clear();
    list.removeAt(0);
    run(dir.file(QStringLiteral("unplugged")));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].contains(QStringLiteral("fine.mp3")));
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(onDevice().isEmpty());
}

TEST(DeviceCopy, CopiesAreWholeWhicheverWayTheBytesGo) {
    TempDir dir;
    QByteArray song(600'001, '\0'); // more than one buffer of the way through this process, and a bit
    for (qsizetype i = 0; i < song.size(); ++i)
        song[i] = static_cast<char>(i * 31 / 7);
    const QString source = dir.write(QStringLiteral("song.mp3"), song);
    const QString empty = dir.write(QStringLiteral("empty.mp3"), QByteArray());
    auto copyOf = [](const QString& folder, const QString& name) {
        QFile file(QDir(folder).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    };

    // On the same file system the kernel copies; onto another one (memory), the bytes pass through here.
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/kivo-test-XXXXXX"));
    QStringList folders{dir.mkdir(QStringLiteral("device"))};
    if (elsewhere.isValid())
        folders << elsewhere.path();
    for (const QString& folder : folders) {
        SCOPED_TRACE(folder.toStdString());
        EXPECT_EQ(copyIntoFolder(source, folder, QStringLiteral("song.mp3")), QString());
        EXPECT_EQ(copyOf(folder, QStringLiteral("song.mp3")), song);
        EXPECT_EQ(copyIntoFolder(empty, folder, QStringLiteral("empty.mp3")), QString());
        EXPECT_EQ(copyOf(folder, QStringLiteral("empty.mp3")), QByteArray());
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary file left
    }

    // A file system that reports no length (the kernel copies nothing of it) still gives the whole file.
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (mounts.open(QIODevice::ReadOnly)) {
        EXPECT_EQ(copyIntoFolder(mounts.fileName(), folders[0], QStringLiteral("mounts")), QString());
        EXPECT_EQ(copyOf(folders[0], QStringLiteral("mounts")), mounts.readAll());
    }
}

// A transfer whose copies wait until the test lets each one finish, on the device list of the three
// playlists.
struct SlowTransfer : ::testing::Test {
    TempDir dir;
    Playlists playlists;
    AppState state;
    PlaylistModel& list = playlists.at(Playlists::kDevice);
    QSemaphore go;
    std::deque<double> freeSpace; // answered in turn, then plenty
    DeviceTransfer transfer{list,
                            {[this](const QString&) {
                                 if (freeSpace.empty())
                                     return 1e9;
                                 const double free = freeSpace.front();
                                 freeSpace.pop_front();
                                 return free;
                             },
                             [](const QString&) { return QStringLiteral("5"); },
                             [this](const QString& source, const QString& folder, const QString& name) {
                                 go.acquire();
                                 return copyIntoFolder(source, folder, name);
                             }}};

    void SetUp() override {
        playlists.setTabCount(3);
        playlists.setShown(Playlists::kDevice);
        QDir().mkpath(dir.file(QStringLiteral("device")));
    }
    void TearDown() override { go.release(100); }
    QString song(const QString& name) { return dir.write(name, "sound"); }
    void add(const QString& name, const QString& path) { list.append(name, path); }
    bool copyingAt(int position) {
        return waitUntil([&] { return transfer.copyingPosition() == position; });
    }
    QStringList onDevice() { return QDir(dir.file(QStringLiteral("device"))).entryList(QDir::Files); }
};

// Closing the window ends a transfer without waiting for a large copy: the device then holds that file
// whole or not at all, never a part of it.
TEST_F(Transfer, EndingATransferMidCopyLeavesTheFileWholeOrAbsent) {
    const QByteArray big(48 * 1024 * 1024, 'b');
    list.append(QStringLiteral("big.mp3"), dir.write(QStringLiteral("music/big.mp3"), big));
    {
        DeviceTransfer transfer(list, {[](const QString&) { return 1e12; }, {}});
        transfer.start(device(), false);
        ASSERT_TRUE(transfer.running());
    } // the window goes
    const QStringList left = onDevice();
    EXPECT_TRUE(left.isEmpty() || left == QStringList{QStringLiteral("big.mp3")})
        << left.join(' ').toStdString();
    if (!left.isEmpty())
        EXPECT_EQ(readAll(QDir(device()).filePath(QStringLiteral("big.mp3"))), big);

    const std::atomic<bool> stop{true};
    EXPECT_FALSE(copyIntoFolder(list.path(0), device(), QStringLiteral("again.mp3"), &stop).isEmpty());
    EXPECT_FALSE(onDevice().contains(QStringLiteral("again.mp3")));
    EXPECT_EQ(onDevice(), left); // and no temporary file
}

TEST_F(SlowTransfer, TheEntryBeingCopiedCannotBeRemovedButTheOthersCan) {
    for (const char* name : {"one", "two", "three", "four"})
        add(QString::fromLatin1(name), song(QString::fromLatin1(name)));
    transfer.start(dir.file(QStringLiteral("device")), false);
    ASSERT_TRUE(copyingAt(0));

    using namespace PlaylistEditing;
    EXPECT_FALSE(deleteSelected(playlists, state, false, 0).changed);
    EXPECT_FALSE(moveSelectedToOther(playlists, state, false, 0).changed);
    EXPECT_TRUE(deleteSelected(playlists, state, false, 1).changed); // "two" goes
    // A Move search for every entry takes all but the one being copied.
    PlaylistSearch::search(PlaylistSearch::Mode::Move, QStringLiteral("o"), playlists, state, false, 0);
    EXPECT_EQ(entryNames(list), (QStringList{"one", "three"}));
    EXPECT_EQ(entryNames(playlists.at(Playlists::kA)), QStringList{"four"});
    EXPECT_TRUE(clearShown(playlists));
    EXPECT_EQ(entryNames(list), QStringList{"one"});
    EXPECT_FALSE(clearShown(playlists));
    EXPECT_EQ(list.count(), 1);

    go.release();
    ASSERT_TRUE(waitUntil([&] { return !transfer.running(); }));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(onDevice(), QStringList{"one"});
    // Once copied, nothing is held any more.
    add(QStringLiteral("five"), song(QStringLiteral("five")));
    EXPECT_TRUE(deleteSelected(playlists, state, false, 0).changed);
}

TEST_F(SlowTransfer, TheEntryCopiedLeavesAndNotALookAlike) {
    // Three entries for one file under one name; the first does not fit when it is measured.
    const QString path = song(QStringLiteral("same.mp3"));
    for (int i = 0; i < 3; ++i)
        add(QStringLiteral("same.mp3"), path);
    const quint64 third = list.id(2);
    freeSpace = {0, 1e9, 0};
    transfer.start(dir.file(QStringLiteral("device")), false);
    ASSERT_TRUE(copyingAt(1));

    // The first goes while the second is copied: the third moves into the position the copy started at.
    EXPECT_TRUE(PlaylistEditing::deleteSelected(playlists, state, false, 0).changed);
    ASSERT_EQ(transfer.copyingPosition(), 0);
    go.release();
    ASSERT_TRUE(waitUntil([&] { return !transfer.running(); }));
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.id(0), third); // it did not fit, so it stays
    EXPECT_EQ(onDevice(), QStringList{"same.mp3"});
}

} // namespace
