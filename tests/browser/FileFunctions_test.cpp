#include "browser/FileFunctions.h"
#include "support/TempDir.h"
#include <QDir>
#include <gtest/gtest.h>

TEST(FileSize, GivesTheLengthOfAnExistingFileOnly) {
    TempDir dir;
    EXPECT_EQ(FileSize(dir.write("empty.mp3")), "0");
    EXPECT_EQ(FileSize(dir.write("song.mp3", QByteArray(1234, 'x'))), "1234");
    EXPECT_EQ(FileSize(dir.file("missing.mp3")), "");
    EXPECT_EQ(FileSize(""), "");
    EXPECT_EQ(FileSize(dir.path()), "");
}

TEST(FreeSpace, IsZeroForAPlaceThatDoesNotExist) {
    TempDir dir;
    EXPECT_EQ(GetFreeSpaceOnDisk(dir.file("no/such/folder")), 0.0);
    EXPECT_EQ(GetFreeSpaceOnDisk(""), 0.0);
    EXPECT_GT(GetFreeSpaceOnDisk(dir.path()), 0.0);
}

TEST(FreeSpaceBar, TopEndFollowsTheFreeShareOfTheNominalDevice) {
    const double h = 3000;
    EXPECT_DOUBLE_EQ(freeSpaceBarTop(h, 125'000'000), h);
    EXPECT_DOUBLE_EQ(freeSpaceBarTop(h, 62'500'000), h / 2);
    // More than the nominal size: the end lies below the box, no visible length.
    EXPECT_GE(freeSpaceBarTop(h, 250'000'000), h);
    // Full, unreadable, or a tiny box: never above 2.
    EXPECT_DOUBLE_EQ(freeSpaceBarTop(h, 0), 2);
    EXPECT_DOUBLE_EQ(freeSpaceBarTop(h, 1000), 2);
    EXPECT_DOUBLE_EQ(freeSpaceBarTop(0, 62'500'000), 2);
}

TEST(LongName, RebuildsAnExistingPathKeepingATrailingSeparator) {
    TempDir dir;
    dir.write("Music/Rock/song.mp3");
    const QString folder = dir.file("Music/Rock");
    EXPECT_EQ(sLongName(folder + "/song.mp3"), folder + "/song.mp3");
    EXPECT_EQ(sLongName(folder + "/"), folder + "/");
    EXPECT_EQ(sLongName(folder + "\\"), folder + "\\");
    // "\" separates too; the result is spelled with "/".
    EXPECT_EQ(sLongName(dir.path() + "\\Music\\Rock"), folder);
    EXPECT_EQ(sLongName("/"), "/");
}

TEST(LongName, LeavesAPathWithAMissingLastComponentAlone) {
    TempDir dir;
    dir.mkdir("Music");
    const QString missing = dir.file("Music/gone.mp3");
    EXPECT_EQ(sLongName(missing), missing);
    EXPECT_EQ(sLongName(missing + "/"), missing + "/");
    EXPECT_EQ(sLongName("C:\\MUSIC~1\\SONG~1.MP3"), "C:\\MUSIC~1\\SONG~1.MP3");
    EXPECT_EQ(sLongName(""), "");
}

TEST(LongName, WorksOnRelativePaths) {
    TempDir dir;
    dir.write("Music/song.mp3");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(sLongName("Music"), "Music");
    EXPECT_EQ(sLongName("Music/song.mp3"), "Music/song.mp3");
    EXPECT_EQ(sLongName("Nothing"), "Nothing");
    QDir::setCurrent(previous);
}

TEST(ShortPath, IsTheAbsolutePathOfAnExistingFileOrEmpty) {
    TempDir dir;
    const QString file = dir.write("a b/song.mp3");
    EXPECT_EQ(shortPath(file), file);
    EXPECT_EQ(shortPath(dir.file("a b/../a b/./song.mp3")), file);
    EXPECT_EQ(shortPath(dir.file("missing.mp3")), "");
    EXPECT_EQ(shortPath(""), "");
}
