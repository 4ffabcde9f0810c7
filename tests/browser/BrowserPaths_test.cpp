#include "browser/BrowserPaths.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>

TEST(FolderUp, CutsBackThroughTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(cutBackOneFolder("C:\\Music\\Rock"), "C:\\Music");
    EXPECT_EQ(cutBackOneFolder("C:\\Music"), "C:\\");
    EXPECT_EQ(cutBackOneFolder("/home/user/Music"), "/home/user");
    EXPECT_EQ(cutBackOneFolder("/home/user\\Music"), "/home/user");
    EXPECT_EQ(cutBackOneFolder("/home"), "/");
    // Below "/" even a short name goes up to the root.
    EXPECT_EQ(cutBackOneFolder("/ab"), "/");
    EXPECT_EQ(cutBackOneFolder("/a/bc"), "/a");
}

TEST(FolderUp, RootsAndShortTextsStay) {
    EXPECT_EQ(cutBackOneFolder("/"), "/");
    EXPECT_EQ(cutBackOneFolder("c:\\"), "c:\\");
    EXPECT_EQ(cutBackOneFolder("ab"), "ab");
    EXPECT_EQ(cutBackOneFolder(""), "");
    EXPECT_EQ(cutBackOneFolder("server"), "server");
}

TEST(FolderUp, OnlyMovesToAFolderThatExists) {
    TempDir dir;
    const QString deep = dir.mkdir("a/b");
    EXPECT_EQ(folderUp(deep), dir.file("a"));
    EXPECT_EQ(folderUp("/"), "/");
    // The root of a network share cuts back to a bare server name.
    EXPECT_EQ(folderUp("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(folderUp("C:\\Music"), "C:\\Music");
}

TEST(BrowserFilePath, JoinsWithExactlyOneSeparator) {
    EXPECT_EQ(browserFilePath("/home/user", "a.mp3"), "/home/user/a.mp3");
    EXPECT_EQ(browserFilePath("/", "a.mp3"), "/a.mp3");
    EXPECT_EQ(browserFilePath("c:\\", "a.mp3"), "c:\\a.mp3");
    // A three-character folder below "/" is no root.
    EXPECT_EQ(browserFilePath("/ab", "a.mp3"), "/ab/a.mp3");
}

TEST(ContainingFolder, DropsTheNameAndKeepsRootsWhole) {
    EXPECT_EQ(containingFolder("C:\\Music\\Rock\\song.mp3"), "C:\\Music\\Rock");
    EXPECT_EQ(containingFolder("/home/user/TempSave.KVPL"), "/home/user");
    EXPECT_EQ(containingFolder("/a/x.mp3"), "/a");
    EXPECT_EQ(containingFolder("/song.mp3"), "/");
    EXPECT_EQ(containingFolder("c:\\TempSave.KVPL"), "c:\\");
    EXPECT_EQ(containingFolder("d:/song.mp3"), "d:/");
    EXPECT_EQ(containingFolder("song.mp3"), "/");
    EXPECT_EQ(autoSaveStartFolder("/home/user/Lists/TempSave.KVPL"), "/home/user/Lists");
}

TEST(PresetFolderOf, IsTheChosenFilesFolderOrNothing) {
    EXPECT_EQ(presetFolderOf("/home/u/Music/Rock/song.mp3"), "/home/u/Music/Rock");
    EXPECT_EQ(presetFolderOf("/song.mp3"), "/"); // never an empty preset that recalls nowhere
    EXPECT_EQ(presetFolderOf("C:\\Music\\Rock\\song.mp3"), "C:\\Music\\Rock");
    EXPECT_EQ(presetFolderOf(""), std::nullopt);
    EXPECT_EQ(presetFolderOf("song.mp3"), std::nullopt);
}
