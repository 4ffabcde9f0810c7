#include "browser/DirectoryListing.h"
#include "browser/PatternList.h"
#include "support/TempDir.h"
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
const QString kDefaultPatterns =
    "*.kvpl;*.vob;*.asf;*.wav;*.mid;*.mp3;*.mp2;*.mp4;*.mpeg;*.mpg;*.mpe;*.avi;*.mov;*.mpa;*.asx";
}

TEST(PatternList, MatchesAnyOfSeveralPatternsIgnoringCase) {
    const PatternList patterns(kDefaultPatterns);
    EXPECT_TRUE(patterns.matches(u"song.mp3"));
    EXPECT_TRUE(patterns.matches(u"SONG.MP3"));
    EXPECT_TRUE(patterns.matches(u"list.KvPl"));
    EXPECT_TRUE(patterns.matches(u"a.b.c.avi"));
    EXPECT_FALSE(patterns.matches(u"song.mp3.txt"));
    EXPECT_FALSE(patterns.matches(u"readme"));
    EXPECT_FALSE(patterns.matches(u"mp3"));
    // ".mpe" must not take ".mpeg" or the other way round by accident.
    EXPECT_TRUE(PatternList("*.mpe").matches(u"x.MPE"));
    EXPECT_FALSE(PatternList("*.mpe").matches(u"x.mpeg"));
}

TEST(PatternList, StarDotStarListsEverythingEvenWithoutADot) {
    for (const QString text : {"*.*", "*", "*.mp3;*.*"}) {
        const PatternList patterns(text);
        EXPECT_TRUE(patterns.matchesEverything()) << text.toStdString();
        EXPECT_TRUE(patterns.matches(u"README")) << text.toStdString();
    }
}

TEST(PatternList, GeneralWildcardsAndOddLists) {
    const PatternList patterns(" track??.* ; *mix*.wav ;; ");
    EXPECT_TRUE(patterns.matches(u"TRACK01.ogg"));
    EXPECT_FALSE(patterns.matches(u"track1.ogg"));
    EXPECT_TRUE(patterns.matches(u"summer MIX 2.wav"));
    EXPECT_FALSE(patterns.matches(u"summer.wav"));
    // Regular-expression characters are plain characters in a pattern.
    EXPECT_TRUE(PatternList("a+(b).[c]").matches(u"A+(B).[C]"));
    EXPECT_FALSE(PatternList("a+(b).[c]").matches(u"aa(b).c"));
    EXPECT_FALSE(PatternList("").matches(u"song.mp3"));
    EXPECT_FALSE(PatternList(";;").matches(u"song.mp3"));
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

TEST(WildcardMatch, AgreesWithThePlainDefinitionOnEveryShortCase) {
    // Every pattern over {a, b, *, ?} up to 5 characters against every name
    // over {a, b, *, ?} up to 5: a Linux file name may hold "*" and "?".
    auto all = [](const QString& alphabet, int longest) {
        QStringList texts{QString()};
        for (qsizetype from = 0; from < texts.size(); ++from)
            if (texts[from].size() < longest)
                for (QChar c : alphabet)
                    texts << texts[from] + c;
        return texts;
    };
    const QStringList patterns = all("ab*?", 5);
    const QStringList names = all("ab*?", 5);
    int mismatches = 0;
    for (const QString& pattern : patterns)
        for (const QString& name : names)
            if (wildcardMatches(pattern, name) != referenceMatch(pattern, name) && ++mismatches < 5)
                ADD_FAILURE() << pattern.toStdString() << " against " << name.toStdString();
    EXPECT_EQ(mismatches, 0);
}

TEST(WildcardMatch, ManyStarsOverLongNamesGiveTheRightAnswer) {
    const PatternList patterns("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*c");
    const QString name(300, u'a');
    EXPECT_FALSE(patterns.matches(name));
    EXPECT_TRUE(patterns.matches(name + u'c'));
    EXPECT_TRUE(patterns.matches(QString(14, u'A') + u'C'));
    EXPECT_FALSE(patterns.matches(QString(13, u'a') + u'c'));
    EXPECT_TRUE(PatternList("Ä*.MP3").matches(u"äbc.mp3")); // letter case beyond ASCII
    // A star in the name is an ordinary character there.
    EXPECT_TRUE(PatternList("a*b").matches(u"a*xb"));
    EXPECT_TRUE(PatternList("*.*x").matches(u"n.*ho.x"));
}

TEST(BrowserOrder, IgnoresCaseAndComparesNumbersByValue) {
    QStringList names{"track10.mp3", "Track2.mp3", "b.mp3", "A.mp3", "track02.mp3", "a.mp3", "Ä.mp3"};
    sortBrowserOrder(names);
    EXPECT_EQ(names,
              QStringList({"A.mp3", "a.mp3", "b.mp3", "Track2.mp3", "track02.mp3", "track10.mp3", "Ä.mp3"}));
    EXPECT_LT(compareBrowserNames(u"x9", u"x10"), 0);
    EXPECT_LT(compareBrowserNames(u"x", u"x1"), 0);
    EXPECT_EQ(compareBrowserNames(u"same", u"same"), 0);
}

TEST(FolderListing, ListsVisibleRegularFilesThatMatchInBrowserOrder) {
    TempDir dir;
    dir.write("b.MP3");
    dir.write("a.mp3");
    dir.write("notes.txt");
    dir.write(".hidden.mp3");
    dir.mkdir("folder.mp3");
    dir.write("sub/inner.mp3");
    ASSERT_EQ(::symlink(QFile::encodeName(dir.file("a.mp3")).constData(),
                        QFile::encodeName(dir.file("link.mp3")).constData()),
              0);
    ASSERT_EQ(::symlink("/nonexistent/target.mp3", QFile::encodeName(dir.file("broken.mp3")).constData()), 0);

    EXPECT_EQ(listMatchingFiles(dir.path(), PatternList(kDefaultPatterns)),
              QStringList({"a.mp3", "b.MP3", "link.mp3"}));
    EXPECT_EQ(listMatchingFiles(dir.path(), PatternList("*.*")),
              QStringList({"a.mp3", "b.MP3", "link.mp3", "notes.txt"}));
    EXPECT_EQ(listSubfolders(dir.path()), QStringList({"folder.mp3", "sub"}));
    EXPECT_TRUE(listMatchingFiles(dir.file("missing"), PatternList("*.*")).isEmpty());
    EXPECT_FALSE(readFolder(dir.file("missing")).readable);
}

TEST(DropAcceptance, LooksForTheExtensionInsideThePatternText) {
    EXPECT_TRUE(dropAccepted("/music/SONG.MP3", kDefaultPatterns));
    EXPECT_TRUE(dropAccepted("/music/song.mp", kDefaultPatterns));
    EXPECT_TRUE(dropAccepted("/music/list.kvpl", kDefaultPatterns));
    EXPECT_FALSE(dropAccepted("/music/notes.txt", kDefaultPatterns));
    EXPECT_FALSE(dropAccepted("/music/Rock", kDefaultPatterns));
    // The last dot sits in the folder name: the extension holds a separator.
    EXPECT_FALSE(dropAccepted("/music/Vol.2/track", kDefaultPatterns));
    EXPECT_EQ(dropExtension("/music/Vol.2/track"), ".2/track");
    EXPECT_EQ(dropExtension("noext"), QString(".") + QString(6, QChar(0xA9)));
}
