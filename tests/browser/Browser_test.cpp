// The file browser's path rules and file facts, its filter and folder listing, and dropped files.
#include "browser/BrowserPaths.h"
#include "browser/DirectoryListing.h"
#include "browser/DroppedPaths.h"
#include "browser/FileFunctions.h"
#include "browser/PatternList.h"
#include "settings/SettingsTable.h"
#include "support/TempDir.h"
#include <QDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using P = std::pair<const char*, const char*>;

// Every text in, the rule's result out; "@" stands for the folder `at`.
void expectEach(QString (*rule)(const QString&), std::initializer_list<P> cases, const QString& at = {}) {
    for (const auto& [in, out] : cases)
        EXPECT_EQ(rule(QString(in).replace("@", at)), QString(out).replace("@", at)) << in;
}

TEST(PathRules, SeparatorsRootsAndFileFactsFromTheDisk) {
    // Below "/" even a short name goes up to the root; other short texts stay.
    // A backslash is part of a name below "/": it separates in Windows paths only.
    expectEach(cutBackOneFolder, {P{"C:\\Music", "C:\\"}, P{"/home/a\\b", "/home"}, P{"/ab", "/"},
                                  P{"C:\\M", "C:\\"}, P{"a\\b", "a\\b"}, P{"", ""}, P{"server", "server"}});
    expectEach(containingFolder, {P{"C:\\Music\\Rock\\song.mp3", "C:\\Music\\Rock"}, P{"/song.mp3", "/"},
                                  P{"c:\\TempSave.KVPL", "c:\\"}, P{"d:/song.mp3", "d:/"}, P{"song.mp3", "/"},
                                  P{"/pf/we\\ird.mp3", "/pf"}});
    EXPECT_EQ(presetFolderOf("song.mp3"), std::nullopt); // names no folder: the preset keeps its value
    expectEach([](const QString& folder) { return browserFilePath(folder, "a.mp3"); },
               {P{"/", "/a.mp3"}, P{"c:\\", "c:\\a.mp3"}, P{"", "/a.mp3"}, P{"/b\\", "/b\\/a.mp3"}});
    // The free-space bar's top end: more than the nominal device lies below the box; never above 2.
    EXPECT_EQ(std::pair(freeSpaceBarTop(3000, 62.5e6), freeSpaceBarTop(3000, 1000)), std::pair(1500.0, 2.0));
    TempDir dir;
    dir.write("M/R/song.mp3");
    const QString at = dir.path(), previous = QDir::currentPath();
    QDir::setCurrent(at); // for the relative paths
    expectEach(folderUp, {P{"\\\\server\\share", "\\\\server\\share"}});
    expectEach(FileSize, {P{"M/R/song.mp3", "0"}, P{"M", ""}, P{"", ""}});
    expectEach(shortPath, {P{"M/../M/./R/song.mp3", "@/M/R/song.mp3"}, P{"gone", ""}}, at);
    // A missing name leaves the path alone; "\" separates too, the result is spelled with "/".
    expectEach(sLongName, {P{"@\\M\\\\R", "@/M//R"}, P{"M\\", "M\\"}, P{"x", "x"}, P{"/", "/"}}, at);
    QDir::setCurrent(previous);
    EXPECT_EQ(sLongName("") + shortPath(at + QChar(0)), "");
}

TEST(PatternList, MatchesAnyOfItsPatternsIgnoringCaseAndDropsLookForTheExtensionInItsText) {
    using C = std::tuple<QString, QStringList, QStringList>; // patterns, names listed, names not listed
    const QString as(300, u'a');
    // ".mpe" must not take ".mpeg"; a star in the name is a plain character. A matcher that tries every way
    // to place the stars would not finish the 300 "a"s.
    for (const auto& [patterns, listed, notListed] :
         {C{"*.mpe", {"x.MPE"}, {"x.mpeg"}}, C{"*.mp3;*.*", {"README"}, {}},
          C{" T??.* ; *mix*.wav ;; ;*.*x", {"t01.ogg", "a MIX.wav", "n.*ho.x"}, {"t1.ogg", "a.wav"}},
          C{"*a*a*a*a*a*a*a*a*a*a*a*a*a*a*c", {as + "c", "AAAAAAAAAAAAAAC"}, {as, "aaaaaaaaaaaaac"}}})
        for (const bool expected : {true, false})
            for (const QString& name : expected ? listed : notListed)
                EXPECT_EQ(PatternList(patterns).matches(name), expected)
                    << patterns.toStdString() << " | " << name.left(20).toStdString();
    // Drops: local paths that survive as text, their extension found in the pattern text (".mp" passes).
    EXPECT_EQ(droppedLocalPaths({QUrl("file:///m/caf%C3%A9%2A%0D.wav"), QUrl("file:///m/caf%E9.wav"),
                                 QUrl("https://example.com/x.mp3")}),
              QStringList{QString::fromUtf8(u8"/m/café*\r.wav")});
    expectEach([](const QString& path) { return QString::number(dropAccepted(path, kDefaultPatternList)); },
               {P{"/m/song.mp", "1"}, P{"/m/Rock", "0"}});
}

// The plain definition, tried every way: slow, but obviously right.
bool referenceMatch(QStringView pattern, QStringView name) {
    if (pattern.isEmpty())
        return name.isEmpty();
    if (pattern[0] == u'*')
        return referenceMatch(pattern.mid(1), name) ||
               (!name.isEmpty() && referenceMatch(pattern, name.mid(1)));
    return !name.isEmpty() && (pattern[0] == u'?' || pattern[0] == name[0]) &&
           referenceMatch(pattern.mid(1), name.mid(1));
}

TEST(PatternList, WildcardsAgreeWithThePlainDefinitionOnEveryShortCase) {
    // Every text over {a, b, *, ?} up to 5 characters, as a pattern against every one as a name (a Linux
    // file name may hold "*" and "?").
    QStringList texts{QString()}, wrong;
    for (qsizetype from = 0; from < texts.size(); ++from)
        for (const QChar c : texts[from].size() < 5 ? QStringLiteral("ab*?") : QString())
            texts << texts[from] + c;
    for (const QString& pattern : texts)
        for (const QString& name : texts)
            if (wildcardMatches(pattern, name) != referenceMatch(pattern, name))
                wrong << pattern + " against " + name;
    EXPECT_EQ(wrong.mid(0, 5), QStringList());
}

TEST(FolderListing, ListsVisibleRegularFilesThatMatchInBrowserOrder) {
    TempDir dir;
    for (const char* name : {"b.MP3", "a.mp3", "notes.txt", ".hidden.mp3", "sub/inner.mp3"})
        dir.write(name);
    dir.mkdir("folder.mp3");
    ASSERT_TRUE(QFile::link(dir.file("a.mp3"), dir.file("link.mp3")));
    ASSERT_TRUE(QFile::link("/nonexistent/target.mp3", dir.file("broken.mp3")));
    const QStringList mp3s{"a.mp3", "b.MP3", "link.mp3"};
    EXPECT_EQ(listMatchingFiles(dir.path(), PatternList(kDefaultPatternList)), mp3s);
    EXPECT_EQ(listMatchingFiles(dir.path(), PatternList("*.*")), mp3s + QStringList{"notes.txt"});
    EXPECT_FALSE(readFolder(dir.file("none")).readable);
    // Letter case ignored, numbers by value, then the exact characters.
    const QStringList order = QString("A.mp3|a.mp3|b|T2|t02|t3|t10|x|x1|Ä").split('|');
    QStringList names(order.rbegin(), order.rend());
    sortBrowserOrder(names);
    EXPECT_EQ(names, order);
}

} // namespace
