#include "playlist/ExistingFiles.h"
#include "playlist/M3uFile.h"
#include "support/TempDir.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
using Status = PlaylistReadStatus;
const QString kFolder = QStringLiteral("/lists");

// "name|path" for each entry read, to compare a whole result at once.
QStringList pairs(const PlaylistReadResult& result) {
    QStringList out;
    for (const PlaylistEntry& entry : result.entries)
        out << entry.name + QLatin1Char('|') + entry.path;
    return out;
}

std::vector<int> seconds(const PlaylistReadResult& result) {
    std::vector<int> out;
    for (const PlaylistEntry& entry : result.entries)
        out.push_back(entry.seconds);
    return out;
}

PlaylistReadResult read(const QByteArray& bytes, M3uText text = M3uText::Utf8OrWindows1252) {
    return readM3u(bytes, text, kFolder);
}

// The M3U8 bytes of a playlist holding the entries.
M3uSave saved(const std::vector<PlaylistEntry>& entries, const QString& baseFolder) {
    PlaylistModel model;
    model.appendEntries(entries);
    return m3u8Bytes(model, baseFolder);
}
} // namespace

TEST(M3uReader, AnyLineEndAByteOrderMarkAndCommentsAroundTheEntries) {
    const auto r = read("\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:12,Song One\r\na.mp3\rsub/b.mp3\n\n"
                        "# a comment\n\r\n/abs/c.mp3");
    EXPECT_EQ(r.status, Status::Complete);
    EXPECT_EQ(pairs(r), (QStringList{"Song One|/lists/a.mp3", "b.mp3|/lists/sub/b.mp3", "c.mp3|/abs/c.mp3"}));
    EXPECT_EQ(seconds(r), (std::vector<int>{12, -1, -1}));
    EXPECT_EQ(r.skipped, 0);

    EXPECT_EQ(read("").status, Status::Complete);
    EXPECT_TRUE(read("#EXTM3U\n#EXTINF:3,orphan title\n").entries.empty());
    EXPECT_EQ(
        pairs(readM3u("x.mp3\n../up.mp3\n./sub/../y.mp3\n.//z.mp3\n", M3uText::Utf8, "/lists/")),
        (QStringList{"x.mp3|/lists/x.mp3", "up.mp3|/up.mp3", "y.mp3|/lists/y.mp3", "z.mp3|/lists/z.mp3"}));
}

TEST(M3uReader, TitlesBelongToTheNextPathOnly) {
    const auto r = read("#EXTINF:-1 tvg-name=\"a,b\" group-title=\"x\",Real, Title\n"
                        "#EXTGRP:kept apart\n"
                        "one.mp3\n"
                        "two.mp3\n"
                        "#EXTINF:200\n"
                        "three.mp3\n"
                        "#EXTINF:7,\n"
                        "four.mp3\n"
                        "#extinf:3.6,Star*Name\n"
                        "five.mp3\n"
                        "#EXTINF:abc,first\n"
                        "#EXTINF:-5,second\n"
                        "six.mp3\n"
                        "#EXTINF:1 open=\"quote,Title after the first comma\n"
                        "seven.mp3\n");
    EXPECT_EQ(
        pairs(r),
        (QStringList{"Real, Title|/lists/one.mp3", "two.mp3|/lists/two.mp3", "three.mp3|/lists/three.mp3",
                     "four.mp3|/lists/four.mp3", QString::fromUtf8("Star\u2217Name|/lists/five.mp3"),
                     "second|/lists/six.mp3", "Title after the first comma|/lists/seven.mp3"}));
    EXPECT_EQ(seconds(r), (std::vector<int>{-1, -1, 200, 7, 4, -1, 1}));
}

TEST(M3uReader, StreamsAreSkippedAndFileUrlsNameTheirLocalPath) {
    const auto r = read("http://radio.example/stream\n"
                        "HTTPS://example.org/a.mp3\n"
                        "rtsp://cam.local/live\n"
                        "file:///music/My%20Song%2A.mp3\n"
                        "file://localhost/music/b.mp3\n"
                        "file://otherhost/music/c.mp3\n"
                        "file:///music/bad%FF.mp3\n"
                        "Live: Song.mp3\n"
                        "C:\\Music\\d.mp3\n");
    EXPECT_EQ(pairs(r), (QStringList{"My Song*.mp3|/music/My Song*.mp3", "b.mp3|/music/b.mp3",
                                     "Live: Song.mp3|/lists/Live: Song.mp3",
                                     "C:\\Music\\d.mp3|/lists/C:\\Music\\d.mp3"})
                            .replaceInStrings("Song*.mp3|", QString::fromUtf8("Song\u2217.mp3|")));
    EXPECT_EQ(r.skipped, 5);
    EXPECT_EQ(r.status, Status::Complete);
}

TEST(M3uReader, M3uIsUtf8OrElseWindows1252AndM3u8AlwaysUtf8) {
    EXPECT_EQ(pairs(read("#EXTINF:1,Caf\xE9 \x80\nCaf\xE9.mp3\n")),
              QStringList{QString::fromUtf8("Café €|/lists/Café.mp3")});
    EXPECT_EQ(pairs(read("Caf\xC3\xA9.mp3\n")), QStringList{QString::fromUtf8("Café.mp3|/lists/Café.mp3")});
    // One byte that is not UTF-8 decides for the whole file.
    EXPECT_EQ(pairs(read("Caf\xC3\xA9.mp3\nx\xE9.mp3\n")),
              (QStringList{QString::fromUtf8("CafÃ©.mp3|/lists/CafÃ©.mp3"),
                           QString::fromUtf8("xé.mp3|/lists/xé.mp3")}));
    const auto m3u8 = read("x\xE9.mp3\n", M3uText::Utf8);
    ASSERT_EQ(m3u8.entries.size(), 1u);
    EXPECT_TRUE(m3u8.entries[0].path.contains(QChar::ReplacementCharacter));
}

TEST(M3uReader, PathsLongerThanAnyFileSystemAllowsAreBadLinesAndTitlesAreCut) {
    const QByteArray longPath(4096, 'p');
    const auto tooLong = read("a.mp3\n/" + longPath + "\nb.mp3\n");
    EXPECT_EQ(tooLong.status, Status::LineTooLong);
    EXPECT_EQ(pairs(tooLong), QStringList{"a.mp3|/lists/a.mp3"});
    // A relative path that only the folder pushes past the limit.
    EXPECT_EQ(readM3u(QByteArray(4090, 'r'), M3uText::Utf8, "/a/b/c/d").status, Status::LineTooLong);
    EXPECT_EQ(read(QByteArray(16 * 1024 * 1024, 'q')).status, Status::LineTooLong);
    EXPECT_EQ(readM3u(QByteArray(4094, 'r') + "\n", M3uText::Utf8, "/").status, Status::Complete);

    // Any title, however long, is cut to the name limit, never inside a
    // character.
    const QByteArray hugeTitle = "#EXTINF:1," + QByteArray(16 * 1024 * 1024, 'n') + "\nx.mp3\n";
    const auto cut = read(hugeTitle);
    ASSERT_EQ(cut.entries.size(), 1u);
    EXPECT_EQ(cut.entries[0].name, QString(kMaxEntryNameUnits, u'n'));
    QByteArray emoji = "#EXTINF:1,";
    for (int i = 0; i < 200; ++i)
        emoji += "\xF0\x9F\x8E\xB5"; // U+1F3B5, two UTF-16 units
    const auto surrogates = read(emoji + "\nx.mp3\n");
    ASSERT_EQ(surrogates.entries.size(), 1u);
    const QString name = surrogates.entries[0].name;
    EXPECT_EQ(name.size(), kMaxEntryNameUnits - 1);
    EXPECT_TRUE(name.back().isLowSurrogate());
}

TEST(M3uReader, NamesKeepALeadingByteOrderMarkAndAreCutWhenTakenFromTheFile) {
    // Only the file's first bytes can be its byte order mark.
    const auto marked = read("#EXTM3U\n#EXTINF:1,\xEF\xBB\xBFtitle\n/m/\xEF\xBB\xBF"
                             "file.mp3\n/m/x\n");
    const QChar mark(0xFEFF);
    EXPECT_EQ(pairs(marked), (QStringList{mark + QString("title|/m/") + mark + "file.mp3", "x|/m/x"}));
    const auto longName = read("/m/" + QByteArray(300, 'n') + "\n/m/folder/\n");
    ASSERT_EQ(longName.entries.size(), 2u);
    EXPECT_EQ(longName.entries[0].name, QString(kMaxEntryNameUnits, u'n'));
    EXPECT_EQ(longName.entries[1].name, "/m/folder/"); // never an entry without a name
}

TEST(M3uReader, TakesOnlyFilteredEntriesUpToTheRoomGiven) {
    const QByteArray bytes = "keep1.mp3\ndrop.mp3\nkeep2.mp3\nkeep3.mp3\n";
    const PlaylistPathFilter keep = [](const QString& path) {
        return path.contains("keep");
    };
    const auto two = readM3u(bytes, M3uText::Utf8, kFolder, keep, 2);
    EXPECT_EQ(two.status, Status::PlaylistFull);
    EXPECT_EQ(pairs(two), (QStringList{"keep1.mp3|/lists/keep1.mp3", "keep2.mp3|/lists/keep2.mp3"}));
    EXPECT_EQ(two.skipped, 1);
    // Lines not taken need no room.
    const auto none = readM3u("drop.mp3\nhttp://x/y\n", M3uText::Utf8, kFolder, keep, 0);
    EXPECT_EQ(none.status, Status::Complete);
    EXPECT_EQ(none.skipped, 2);
}

TEST(M3uReader, WindowsSeparatorsAreTriedWhenTheNameAsWrittenIsNoFile) {
    TempDir dir;
    const QString song = dir.write("Album/song.mp3");
    const QString literal = dir.write("AC\\DC.mp3");
    ExistingFiles exists(ExistingFiles::Kind::RegularOnly);
    const PlaylistPathFilter take = [&exists](const QString& path) {
        return exists(path);
    };
    const auto r = readM3u("Album\\song.mp3\nAC\\DC.mp3\nAlbum\\gone.mp3\n", M3uText::Utf8, dir.path(), take);
    EXPECT_EQ(pairs(r), (QStringList{"song.mp3|" + song, "AC\\DC.mp3|" + literal}));
    EXPECT_EQ(r.skipped, 1);
}

TEST(M3uFileReader, ReadsRelativeToThePlaylistFolderAndRefusesWhatIsNoRegularFile) {
    TempDir dir;
    const QString media = QFileInfo(dir.write("media/a.mp3")).canonicalFilePath();
    const QString list = dir.write("lists/mix.M3U8", "#EXTM3U\n../media/a.mp3\n");
    EXPECT_EQ(pairs(readM3uFile(list)), QStringList{"a.mp3|" + media});
    // Through a link to the playlist's folder, ".." leads where the system
    // takes it.
    dir.mkdir("elsewhere");
    ASSERT_TRUE(QFile::link(dir.file("lists"), dir.file("elsewhere/linked")));
    EXPECT_EQ(pairs(readM3uFile(dir.file("elsewhere/linked/mix.M3U8"))), QStringList{"a.mp3|" + media});

    EXPECT_EQ(readM3uFile(dir.file("none.m3u")).status, Status::Unreadable);
    EXPECT_EQ(readM3uFile(dir.mkdir("folder.m3u")).status, Status::Unreadable);
    const QString pipe = dir.file("pipe.m3u");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(readM3uFile(pipe).status, Status::Unreadable); // and does not wait for a writer
    QFile big(dir.file("big.m3u"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kMaxPlaylistFileBytes + 1));
    big.close();
    EXPECT_EQ(readM3uFile(big.fileName()).status, Status::TooLarge);
}

TEST(M3uWriter, WritesTitlesLengthsAndAbsolutePathsWithLfEnds) {
    const M3uSave save = saved({{"Song, One", "/m/a.mp3", false, 0, 215},
                                {"b\u2217.mp3", "rel/b.mp3", false, 0, -1},
                                {"", "/m/nameless.mp3", false, 0, 1},
                                {"pathless", "", false, 0, 1}},
                               "/base");
    EXPECT_EQ(save.bytes, QByteArray("#EXTM3U\n#EXTINF:215,Song, One\n/m/a.mp3\n"
                                     "#EXTINF:-1,b\xE2\x88\x97.mp3\n/base/rel/b.mp3\n"));
    EXPECT_EQ(save.skipped, 0);
    EXPECT_EQ(m3u8Bytes(PlaylistModel(), "/").bytes, QByteArray("#EXTM3U\n"));
}

TEST(M3uWriter, EntriesALineCannotHoldAreLeftOutAndCounted) {
    const M3uSave save = saved({{"one", "/m/line\nbreak.mp3", false, 0, -1},
                                {"two", "/m/ok.mp3", false, 0, -1},
                                {"three", "/m/carriage\rreturn.mp3", false, 0, -1},
                                {"name\nwith break", "/m/fine.mp3", false, 0, -1}},
                               "/");
    EXPECT_EQ(save.skipped, 2);
    // Every line of the file is whole: the names get look-alikes.
    EXPECT_EQ(pairs(readM3u(save.bytes, M3uText::Utf8, "/")),
              (QStringList{"two|/m/ok.mp3", QString::fromUtf8("name\u240Awith break|/m/fine.mp3")}));
}

TEST(M3uWriter, WhatIsWrittenReadsBackTheSame) {
    const std::vector<PlaylistEntry> entries = {
        {"#not a comment", "/m/#1 hit.mp3", false, 0, 3},
        {QString::fromUtf8("Ünïcödé 🎵"), QString::fromUtf8("/m/ü/🎵.flac"), false, 0, 0},
        {"quote \"a,b\"", "/m/q.mp3", false, 0, 59},
        {"  spaced  ", "/m/ space .mp3", false, 0, -1},
        {"url-like", "/m/http://x.mp3", false, 0, -1},
    };
    const M3uSave save = saved(entries, "/");
    const auto back = readM3u(save.bytes, M3uText::Utf8, "/elsewhere");
    ASSERT_EQ(back.status, Status::Complete);
    ASSERT_EQ(back.entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back.entries[i].name, entries[i].name) << i;
        EXPECT_EQ(back.entries[i].path, entries[i].path) << i;
        EXPECT_EQ(back.entries[i].seconds, entries[i].seconds) << i;
    }
}

TEST(M3uWriter, ReplacesOnlyARegularFileWhole) {
    TempDir dir;
    PlaylistModel model;
    model.append("a", "/m/a.mp3");
    const QString target = dir.write("old.m3u8", "old content that is longer than the new one\n");
    const M3uWrite write = writeM3u8File(model, target);
    EXPECT_TRUE(write.written);
    EXPECT_EQ(readAll(target), QByteArray("#EXTM3U\n#EXTINF:-1,a\n/m/a.mp3\n"));

    const QString pipe = dir.file("pipe.m3u8");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(writeM3u8File(model, pipe).written);
    EXPECT_FALSE(writeM3u8File(model, dir.write("plain") + "/under.m3u8").written);
    EXPECT_FALSE(writeM3u8File(model, "").written);
}
