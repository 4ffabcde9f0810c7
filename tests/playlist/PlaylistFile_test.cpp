#include "playlist/PlaylistFile.h"
#include "support/TempDir.h"
#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
using Status = PlaylistReadStatus;

// "name|path" for each entry read, to compare a whole result at once.
QStringList pairs(const PlaylistReadResult& result) {
    QStringList out;
    for (const PlaylistEntry& entry : result.entries)
        out << entry.name + QLatin1Char('|') + entry.path;
    return out;
}

PlaylistReadResult read(const QByteArray& bytes) {
    return readPlaylist(bytes);
}
} // namespace

TEST(PlaylistReader, EndMarkerMustBeAWholeLineAndStopsTheRead) {
    const auto done = read("a*1\r\n!@#$%\r\n\r\nno star here\r\nb*2\r\n");
    EXPECT_EQ(done.status, Status::Complete);
    EXPECT_EQ(pairs(done), QStringList{"a|1"});

    EXPECT_EQ(read("a*1\r\n!@#$%").status, Status::Complete); // last line without CR still counts

    const auto trailingBlank = read("a*1\r\n!@#$% \r\nb*2\r\n!@#$%\r\n");
    EXPECT_EQ(trailingBlank.status, Status::LineWithoutPath);
    EXPECT_EQ(pairs(trailingBlank), QStringList{"a|1"});
    EXPECT_EQ(read(" !@#$%\r\n").status, Status::LineWithoutPath);
}

TEST(PlaylistReader, DataEndingBeforeTheMarkerIsAnErrorThatKeepsTheEntries) {
    EXPECT_EQ(read("").status, Status::NoEndMarker);
    const auto noMarker = read("a*1\r\nb*2");
    EXPECT_EQ(noMarker.status, Status::NoEndMarker);
    EXPECT_EQ(pairs(noMarker), (QStringList{"a|1", "b|2"}));
}

TEST(PlaylistReader, LineWithoutStarStopsWithEarlierEntriesKept) {
    const auto blankLine = read("a*1\r\n\r\nb*2\r\n!@#$%\r\n");
    EXPECT_EQ(blankLine.status, Status::LineWithoutPath);
    EXPECT_EQ(pairs(blankLine), QStringList{"a|1"});
}

TEST(PlaylistReader, FieldsSplitAtEveryStar) {
    const auto r = read("name*path*ignored*more\r\n*nameless\r\npathless*\r\n!@#$%\r\n");
    EXPECT_EQ(r.status, Status::Complete);
    EXPECT_EQ(pairs(r), (QStringList{"name|path", "|nameless", "pathless|"}));
}

TEST(PlaylistReader, LinesEndAtCrLfCrOrALoneLf) {
    EXPECT_EQ(pairs(read("a*1\rb*2\r!@#$%\r")), (QStringList{"a|1", "b|2"}));
    // Written on Linux: LF line ends, the marker included.
    const auto lfOnly = read("a*1\nb*2\n!@#$%\nafter*3\n");
    EXPECT_EQ(lfOnly.status, Status::Complete);
    EXPECT_EQ(pairs(lfOnly), (QStringList{"a|1", "b|2"}));
    EXPECT_EQ(pairs(read("a*1\r\nb*2\n!@#$%")), (QStringList{"a|1", "b|2"}));
    // CR CR LF and LF LF hold an empty line; LF CR is two line ends.
    EXPECT_EQ(read("a*1\r\r\n!@#$%\r\n").status, Status::LineWithoutPath);
    EXPECT_EQ(read("a*1\n\n!@#$%\n").status, Status::LineWithoutPath);
    EXPECT_EQ(read("a*1\n\r!@#$%\n").status, Status::LineWithoutPath);
}

TEST(PlaylistReader, FileUrlsNameTheirPathOnlyWhenTheyAreLocalAndWhole) {
    const auto r = read("a*file:///m/x%2Ay%0D%0Az%20%C3%A9.wav\r\n"
                        "b*FILE://localhost/m/b%25.wav\r\n"
                        "c*file://server/share/c.wav\r\n"
                        "d*file:///m/caf%E9.wav\r\n"
                        "e*file:///m/nul%00.wav\r\n"
                        "f*file:///m/q?x=1\r\n"
                        "g*/m/100%25.wav\r\n"
                        "!@#$%\r\n");
    EXPECT_EQ(r.status, Status::Complete);
    EXPECT_EQ(pairs(r), (QStringList{QString::fromUtf8(u8"a|/m/x*y\r\nz é.wav"), "b|/m/b%.wav",
                                     "c|file://server/share/c.wav", "d|file:///m/caf%E9.wav",
                                     "e|file:///m/nul%00.wav", "f|file:///m/q?x=1", "g|/m/100%25.wav"}));
}

TEST(PlaylistReader, ReadsUtf8OrElseWindows1252) {
    EXPECT_EQ(pairs(read("Caf\xC3\xA9 \xE2\x82\xAC*/m/\xE6\x97\xA5.mp3\r\n!@#$%\r\n")),
              QStringList{QString::fromUtf8(u8"Café €|/m/日.mp3")});
    EXPECT_EQ(pairs(read("Caf\xE9 \x80\x81*/m/\x9F.mp3\r\n!@#$%\r\n")),
              QStringList{QString::fromUtf8(u8"Café €\u0081|/m/Ÿ.mp3")});
    // One byte that is not UTF-8 anywhere before the marker decides for the
    // whole file; bytes after the marker are never looked at.
    EXPECT_EQ(pairs(read("\xC3\xA9*1\r\n\xE9*2\r\n!@#$%\r\n")),
              (QStringList{QString::fromUtf8(u8"Ã©|1"), QString::fromUtf8(u8"é|2")}));
    EXPECT_EQ(pairs(read("\xC3\xA9*1\r\n!@#$%\r\n\xE9\r\n")), QStringList{QString::fromUtf8(u8"é|1")});
    // Overlong forms and encoded surrogates are not UTF-8.
    EXPECT_EQ(pairs(read("\xC0\xAF*1\r\n!@#$%\r\n")), QStringList{QString::fromUtf8(u8"À¯|1")});
    EXPECT_EQ(pairs(read("\xED\xA0\x80*1\r\n!@#$%\r\n")), QStringList{QString::fromUtf8(u8"í\u00A0€|1")});
    EXPECT_EQ(pairs(read("\xEF\xBB\xBF"
                         "a*1\r\n!@#$%\r\n")),
              QStringList{"a|1"});
}

TEST(PlaylistReader, TakesOnlyFilteredEntriesUpToTheRoomGiven) {
    const QByteArray bytes = "a*keep\r\nb*skip\r\nc*keep\r\nd*keep\r\n!@#$%\r\n";
    const auto isKept = [](const QString& path) {
        return path == "keep";
    };
    EXPECT_EQ(pairs(readPlaylist(bytes, isKept)), (QStringList{"a|keep", "c|keep", "d|keep"}));
    const auto full = readPlaylist(bytes, isKept, 2);
    EXPECT_EQ(full.status, Status::PlaylistFull);
    EXPECT_EQ(pairs(full), (QStringList{"a|keep", "c|keep"}));
    EXPECT_EQ(readPlaylist("a*skip\r\n!@#$%\r\n", isKept, 0).status, Status::Complete);
}

TEST(PlaylistReader, NamesAndPathsLongerThanAnyFileSystemAllowsAreBadLines) {
    // The longest real ones still load, written in any of the line's forms.
    const QByteArray lookAlikes = QString(255, QChar(0x2217)).toUtf8(); // 255 look-alike stars, 765 bytes
    const QByteArray longestPath = "/" + QByteArray(4094, 'p');
    const QByteArray longestAsUrl = "file:///" + QByteArray(4094 / 3, 'p').replace("p", "%2A");
    const auto fits =
        read("a*1\r\n" + lookAlikes + "*2\r\nb*" + longestPath + "\r\nc*" + longestAsUrl + "\r\n!@#$%\r\n");
    EXPECT_EQ(fits.status, Status::Complete);
    ASSERT_EQ(fits.entries.size(), 4u);
    EXPECT_EQ(fits.entries[1].name.size(), 255);
    EXPECT_EQ(fits.entries[2].path.size(), 4095);
    EXPECT_EQ(fits.entries[3].path, "/" + QString(4094 / 3, u'*'));

    const QByteArray tooLong[] = {
        QByteArray(256, 'n') + "*/m/x.mp3",
        QByteArray(16 * 1024 * 1024, 'n') + "*/m/x.mp3", // 16 MiB: turned down unread
        "x*/" + QByteArray(4095, 'p'),
        "x*file:///" + QByteArray(4095, 'p').replace("p", "%41"),
    };
    for (const QByteArray& line : tooLong) {
        const auto result = read("a*1\r\n" + line + "\r\nb*2\r\n!@#$%\r\n");
        EXPECT_EQ(result.status, Status::LineTooLong) << line.left(40).toStdString();
        EXPECT_EQ(pairs(result), QStringList{"a|1"});
    }
}

TEST(PlaylistFileReader, RefusesWhatCannotBeReadOrIsTooLarge) {
    TempDir dir;
    EXPECT_EQ(readPlaylistFile(dir.file("missing.KVPL")).status, Status::Unreadable);
    EXPECT_EQ(readPlaylistFile(dir.mkdir("folder.KVPL")).status, Status::Unreadable);
    const QString pipe = dir.file("pipe.KVPL"); // would block a plain open for ever
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(readPlaylistFile(pipe).status, Status::Unreadable);
    QFile huge(dir.write("huge.KVPL", "a*1\r\n"));
    ASSERT_TRUE(huge.resize(kMaxPlaylistFileBytes + 1));
    const auto tooLarge = readPlaylistFile(huge.fileName());
    EXPECT_EQ(tooLarge.status, Status::TooLarge);
    EXPECT_TRUE(tooLarge.entries.empty());
}

TEST(PlaylistWriter, WritesNamedEntriesThenTheMarkerWithCrLf) {
    PlaylistModel model;
    EXPECT_EQ(playlistBytes(model), "!@#$%\r\n");
    model.append(QString::fromUtf8(u8"Café.mp3"), "/m/CAFE.MP3");
    model.append("", "/m/unnamed.mp3");
    model.append("b.avi", "");
    EXPECT_EQ(playlistBytes(model), "Caf\xC3\xA9.mp3*/m/CAFE.MP3\r\nb.avi*\r\n!@#$%\r\n");
}

TEST(PlaylistWriter, WhatIsWrittenReadsBack) {
    TempDir dir;
    PlaylistModel model;
    model.append(QString::fromUtf8(u8"日本 € song.mp3"), dir.write(QString::fromUtf8(u8"ü/ß.mp3")));
    model.append("clip.avi", dir.write("clip.avi"));
    model.append(QString::fromUtf8(u8"∗NSYNC.wav"), dir.write("*NSYNC.wav"));
    model.append(QString::fromUtf8(u8"x␍y␊.wav"), dir.write("x\ry\n.wav"));
    model.append("odd.wav", dir.write("%2A 100% #1?.wav"));
    model.append("url.wav", dir.write("file:/x.wav"));
    model.setChecked(1, true);
    const QString path = dir.file("list.KVPL");
    ASSERT_TRUE(writePlaylistFile(model, path));
    const auto back = readPlaylistFile(path, isExistingFile);
    EXPECT_TRUE(back.whole());
    ASSERT_EQ(back.entries.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(back.entries[i].name, model.name(i));
        EXPECT_EQ(back.entries[i].path, model.path(i));
        EXPECT_FALSE(back.entries[i].checked);
    }
}

TEST(PlaylistWriter, OrdinaryEntriesStayAsTheyWereAndOnlyUnwritablePathsBecomeUrls) {
    PlaylistModel model;
    model.append("plain.mp3", "/m/100% sure.mp3");
    model.append("win.mp3", "C:\\MUSIC\\SONGON~1.MP3");
    model.append("star.wav", "/m/*NSYNC.wav");
    model.append("lines.wav", "/m/a\rb\nc.wav");
    model.append("read as a url", "file:///m/a.wav"); // relative: no line can hold it
    model.append("a*b\r\nc", "/m/n.wav");
    model.append("relative", "m/*.wav"); // no line can hold it
    EXPECT_EQ(playlistBytes(model), QByteArray("plain.mp3*/m/100% sure.mp3\r\n"
                                               "win.mp3*C:\\MUSIC\\SONGON~1.MP3\r\n"
                                               "star.wav*file:///m/%2ANSYNC.wav\r\n"
                                               "lines.wav*file:///m/a%0Db%0Ac.wav\r\n"
                                               "a\xE2\x88\x97"
                                               "b\xE2\x90\x8D\xE2\x90\x8A"
                                               "c*/m/n.wav\r\n"
                                               "!@#$%\r\n"));
}

TEST(PlaylistWriter, AByteOrderMarkStartingTheFirstNameSurvives) {
    const QString marked = QChar(0xFEFF) + QStringLiteral("song.mp3");
    PlaylistModel model;
    model.append(marked, "/m/1");
    model.append(marked, "/m/2");
    const QByteArray bytes = playlistBytes(model);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF\xEF\xBB\xBFsong.mp3*/m/1\r\n\xEF\xBB\xBFsong.mp3*/m/2\r\n"));
    EXPECT_EQ(pairs(readPlaylist(bytes)), (QStringList{marked + "|/m/1", marked + "|/m/2"}));

    PlaylistModel unmarked;
    unmarked.append("song.mp3", "/m/1");
    EXPECT_TRUE(playlistBytes(unmarked).startsWith("song.mp3*"));
}

TEST(PlaylistWriter, ReplacesOnlyARegularFile) {
    TempDir dir;
    PlaylistModel model;
    model.append("a.mp3", "/m/a.mp3");
    const QString pipe = dir.file("pipe.KVPL");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(writePlaylistFile(model, pipe));
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(pipe).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_FALSE(writePlaylistFile(model, "/dev/null"));
}

TEST(PlaylistWriter, FailedWriteLeavesThePreviousFileAndNoLeftovers) {
    TempDir dir;
    PlaylistModel model;
    model.append("a.mp3", QString(200, QLatin1Char('x')));

    const QString folder = dir.mkdir("folder.KVPL");
    dir.write("folder.KVPL/inside.mp3", "keep");
    EXPECT_FALSE(writePlaylistFile(model, folder));
    EXPECT_EQ(readAll(folder + "/inside.mp3"), "keep");
    EXPECT_FALSE(writePlaylistFile(model, dir.write("plain") + "/under.KVPL"));
    EXPECT_FALSE(writePlaylistFile(model, ""));

    // The disk filling up halfway (a file size limit stops even root).
    const QString previous = dir.write("full/old.KVPL", "old*/x\r\n!@#$%\r\n");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = writePlaylistFile(model, previous);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(previous), "old*/x\r\n!@#$%\r\n");

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{"folder.KVPL", "full", "plain"}));
    EXPECT_EQ(QDir(dir.file("full")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"old.KVPL"});
}

TEST(PlaylistPaths, ExtensionRuleLooksAtTheLastFiveCharactersInAnyCase) {
    EXPECT_EQ(withPlaylistExtension("/h/list"), "/h/list.KVPL");
    EXPECT_EQ(withPlaylistExtension("/h/list.kvpl"), "/h/list.kvpl");
    EXPECT_EQ(withPlaylistExtension("/h/list.KvPl"), "/h/list.KvPl");
    EXPECT_EQ(withPlaylistExtension("/h/list.KVPL "), "/h/list.KVPL .KVPL");
    EXPECT_EQ(withPlaylistExtension("KVPL"), "KVPL.KVPL");
    EXPECT_EQ(withPlaylistExtension(""), ".KVPL");
    EXPECT_TRUE(isPlaylistFile(".kvpl"));
    EXPECT_FALSE(isPlaylistFile("x.kvp"));
}
