#include "playlist/ExistingFiles.h"
#include "playlist/PlaylistFile.h"
#include "support/TempDir.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

// The folder listings must never change an answer: every kind of path gets
// the same answer as a single check, the first time and once its folder
// has been listed; for both kinds of file taken.
TEST(ExistingFiles, AnswersAsTheSingleCheckDoesForEveryKindOfPath) {
    TempDir dir;
    const QString file = dir.write("album/song.mp3");
    dir.write("album/other.mp3");
    dir.mkdir("album/sub");
    QFile::link(file, dir.file("album/link.mp3"));
    QFile::link(dir.file("album/sub"), dir.file("album/folderlink"));
    QFile::link(dir.file("album/gone.mp3"), dir.file("album/dangling.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("album/pipe")).constData(), 0600), 0);
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(dir.file("album"));

    const QStringList paths = {
        file,
        dir.file("album/SONG.mp3"),
        dir.file("album/missing.mp3"),
        dir.file("album/sub"),
        dir.file("album/sub/"),
        dir.file("album/link.mp3"),
        dir.file("album/folderlink"),
        dir.file("album/dangling.mp3"),
        dir.file("album/pipe"),
        dir.file("album/."),
        dir.file("album/.."),
        dir.file("album/sub/../song.mp3"),
        dir.file("album//song.mp3"),
        dir.file("album/song.mp3/x"),
        "song.mp3",
        "other.mp3",
        "/",
        "",
        file + QChar(0),
        dir.file("nowhere/song.mp3"),
    };
    ExistingFiles exists;
    ExistingFiles regular(ExistingFiles::Kind::RegularOnly);
    for (int round = 0; round < 3; ++round)
        for (const QString& path : paths) {
            EXPECT_EQ(exists(path), isExistingFile(path)) << path.toStdString() << " round " << round;
            EXPECT_EQ(regular(path), isRegularFile(path)) << path.toStdString() << " round " << round;
        }
    EXPECT_FALSE(isRegularFile(dir.file("album/pipe")));
    EXPECT_TRUE(isRegularFile(dir.file("album/link.mp3")));
    EXPECT_TRUE(isExistingFile(file));
    EXPECT_TRUE(isExistingFile(dir.file("album/pipe")));
    EXPECT_TRUE(isExistingFile("song.mp3"));
    EXPECT_FALSE(isExistingFile(dir.file("album/sub")));
    EXPECT_FALSE(isExistingFile(dir.file("album/dangling.mp3")));
    EXPECT_FALSE(isExistingFile(file + QChar(0)));
    QDir::setCurrent(previousFolder);
}
