#include "browser/PatternList.h"
#include "playlist/AddFiles.h"
#include "playlist/ExistingFiles.h"
#include "playlist/M3uFile.h"
#include "playlist/PlaylistFields.h"
#include "playlist/PlaylistFileOps.h"
#include "support/EntryNames.h"
#include "support/FakeSeams.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
// Playlist files: read and written as bytes and on disk, loaded and saved by the commands, and files added.
namespace {
using namespace PlaylistTexts;
using namespace Qt::StringLiterals;
const QString kFolder = "/lists";
const QByteArray kEnd = "!@#$%\r\n";
const QString kPatterns = "*.kvpl;*.m3u;*.m3u8;*.wav;*.mp3";
// "Status ; name|path@seconds ; ... ; skipped N": seconds when known, "+" after an entry (wrongly) checked.
QString describe(const PlaylistReadResult& read) {
    static const char* const statuses[] = {"Complete",     "LineWithoutPath", "LineTooLong", "NoEndMarker",
                                           "PlaylistFull", "Unreadable",      "TooLarge"};
    QStringList parts{statuses[int(read.status)]};
    for (const PlaylistEntry& e : read.entries)
        parts << e.name + u'|' + e.path + (e.seconds != -1 ? "@" + QString::number(e.seconds) : QString()) +
                     (e.checked ? "+" : "");
    if (read.skipped)
        parts << "skipped " + QString::number(read.skipped);
    return parts.join(" ; ");
}
void expectReads(const std::vector<std::pair<PlaylistReadResult, QString>>& reads) {
    for (size_t i = 0; i < reads.size(); ++i)
        EXPECT_EQ(describe(reads[i].first), reads[i].second) << "read " << i;
}
PlaylistReadResult kvpl(const QByteArray& bytes) {
    // A path handed over with its bytes has them as its file name.
    return readPlaylist(bytes, [](const QString& path, QByteArrayView pathBytes) {
        EXPECT_TRUE(pathBytes.isEmpty() || QFile::encodeName(path) == pathBytes) << path.toStdString();
        return true;
    });
}
PlaylistReadResult m3u(const QByteArray& bytes, M3uText text = M3uText::Utf8OrWindows1252) {
    return readM3u(bytes, text, kFolder);
}
QString makePipe(const QString& path) {
    EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    return path;
}
QStringList listing(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden);
}
class PlaylistFileOps : public ::testing::Test {
protected:
    TempDir dir;
    FakeDialogs dialogs;
    PlaylistModel shown;
    QStringList messages() const {
        QStringList out;
        for (const auto& m : dialogs.messages)
            out << m.text;
        return out;
    }
    void fillUpTo(int count) { shown.appendEntries(std::vector<PlaylistEntry>(count, {u"x"_s, u"/x"_s})); }
};
} // namespace
TEST(PlaylistReaders, KvplBytes) {
    const PlaylistPathFilter isKept = [](const QString& path, QByteArrayView) {
        return path == "keep";
    };
    const QByteArray filtered = "a*keep\r\nb*skip\r\nc*keep\r\nd*keep\r\n" + kEnd;
    const QByteArray lookAlikes = QString(255, QChar(0x2217)).toUtf8(); // 765 bytes, 255 units
    const QByteArray starUrl = "file:///" + QByteArray(4094 / 3, 'p').replace("p", "%2A");
    std::vector<std::pair<PlaylistReadResult, QString>> reads = {
        {kvpl("a*1\r\n!@#$%\r\n\r\nno star here\r\nb*2\r\n"), "Complete ; a|1"},
        {kvpl("a*1\r\n!@#$% \r\nb*2\r\n" + kEnd), "LineWithoutPath ; a|1"},
        {kvpl("a*1\r\nb*2"), "NoEndMarker ; a|1 ; b|2"},
        {kvpl("name*path*ignored*more\r\n*nameless\r\npathless*\r\nstars**x\r\n" + kEnd),
         "Complete ; name|path ; |nameless ; pathless| ; stars|"},
        // Lines end at CR LF, CR or LF; CR CR LF, LF LF and LF CR hold an empty line.
        {kvpl("a*1\rb*2\r!@#$%\r"), "Complete ; a|1 ; b|2"},
        {kvpl("a*1\nb*2\n!@#$%\nafter*3\n"), "Complete ; a|1 ; b|2"},
        {kvpl("a*1\r\r\n" + kEnd), "LineWithoutPath ; a|1"},
        {kvpl("a*1\n\n!@#$%\n"), "LineWithoutPath ; a|1"},
        {kvpl("a*1\n\r!@#$%\n"), "LineWithoutPath ; a|1"},
        {kvpl("a*file:///m/x%2Ay%0D%0Az%20%C3%A9.wav\r\nb*FILE://localhost/m/b%25.wav\r\n"
              "c*file://server/share/c.wav\r\nd*file:///m/caf%E9.wav\r\ne*file:///m/nul%00.wav\r\n"
              "f*file:///m/q?x=1\r\ng*/m/100%25.wav\r\nh*file://nohost\r\n" +
              kEnd),
         (u"Complete ; a|/m/x*y\r\nz é.wav ; b|/m/b%.wav ; c|file://server/share/c.wav ; "
          "d|file:///m/caf%E9.wav ; e|file:///m/nul%00.wav ; f|file:///m/q?x=1 ; g|/m/100%25.wav ; "
          "h|file://nohost"_s)},
        // Each line UTF-8, or else Windows-1252: a line of one garbles no line of the other.
        {kvpl("Caf\xC3\xA9 \xE2\x82\xAC*/m/\xE6\x97\xA5.mp3\r\n" + kEnd), u"Complete ; Café €|/m/日.mp3"_s},
        {kvpl("Caf\xE9 \x80\x81*/m/\x9F.mp3\r\n" + kEnd), u"Complete ; Café €\u0081|/m/Ÿ.mp3"_s},
        {kvpl("\xC3\xA9*1\r\n\xE9*2\r\n" + kEnd), u"Complete ; é|1 ; é|2"_s},
        {kvpl("\xC3\xA9*1\r\n!@#$%\r\n\xE9\r\n"), u"Complete ; é|1"_s},
        {kvpl("\xC0\xAF*1\r\n" + kEnd), u"Complete ; À¯|1"_s},             // an overlong form
        {kvpl("\xED\xA0\x80*1\r\n" + kEnd), u"Complete ; í\u00A0€|1"_s},   // a surrogate
        {kvpl("a*\xEF\xBB\xBF/1\r\n" + kEnd), u"Complete ; a|\uFEFF/1"_s}, // a path that starts with U+FEFF
        {kvpl("\xEF\xBB\xBF"
              "a*1\r\n" +
              kEnd),
         "Complete ; a|1"},
        // The longest names and paths a file system holds, in any of their forms.
        {kvpl(lookAlikes + "*2\r\nb*/" + QByteArray(4094, 'p') + "\r\nc*" + starUrl + "\r\n" + kEnd),
         "Complete ; " + QString(255, QChar(0x2217)) + "|2 ; b|/" + QString(4094, u'p') + " ; c|/" +
             QString(4094 / 3, u'*')},
        {readPlaylist(filtered, isKept), "Complete ; a|keep ; c|keep ; d|keep ; skipped 1"},
        {readPlaylist(filtered, isKept, {2}), "PlaylistFull ; a|keep ; c|keep ; skipped 1"},
        {readPlaylist("a*skip\r\n" + kEnd, isKept, {0}), "Complete ; skipped 1"},
    };
    // A display name past 255 units is cut there, never inside a character; 16 MiB of it are not decoded.
    const QByteArray emoji = QByteArray("\xF0\x9F\x8E\xB5").repeated(200); // 2 units each
    reads.push_back({kvpl(QByteArray(256, 'n') + "*/m/x\r\n" + QByteArray(16 << 20, 'n') + "*/m/y\r\n" +
                          emoji + "*/m/e\r\n" + QByteArray(300, '\xE9') + "*/m/w\r\n" + kEnd),
                     "Complete ; " + QString(255, u'n') + "|/m/x ; " + QString(255, u'n') + "|/m/y ; " +
                         QString::fromUtf8(emoji.first(127 * 4)) + "|/m/e ; " + QString(255, u'é') +
                         "|/m/w"});
    // A path longer than any file system allows: a bad line.
    for (const QByteArray& line :
         {"x*/" + QByteArray(4095, 'p'), "x*file:///" + QByteArray(4095, 'p').replace("p", "%41")})
        reads.push_back({kvpl("a*1\r\n" + line + "\r\nb*2\r\n" + kEnd), "LineTooLong ; a|1"});
    expectReads(reads);
}
TEST(PlaylistReaders, M3uBytes) {
    TempDir dir;
    const QString song = dir.write("Album/song.mp3");
    const QString literal = dir.write("AC\\DC.mp3");
    ExistingFiles exists(ExistingFiles::Kind::RegularOnly);
    const PlaylistPathFilter keep = [](const QString& path, QByteArrayView) {
        return path.contains("keep");
    };
    const QByteArray emoji =
        "#EXTINF:1," + QByteArray("\xF0\x9F\x8E\xB5").repeated(200); // 2 units each: not split
    const QString bom(QChar(0xFEFF));
    expectReads({
        {m3u("\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:12,Song One\r\na.mp3\rsub/b.mp3\n\n# a comment\n\r\n/abs/c.mp3"),
         "Complete ; Song One|/lists/a.mp3@12 ; b.mp3|/lists/sub/b.mp3 ; c.mp3|/abs/c.mp3"},
        {m3u("#EXTM3U\n#EXTINF:3,orphan title\n"), "Complete"},
        {readM3u("x.mp3\n../up.mp3\n./sub/../y.mp3\n.//z.mp3\n", M3uText::Utf8, "/lists/"),
         "Complete ; x.mp3|/lists/x.mp3 ; up.mp3|/up.mp3 ; y.mp3|/lists/y.mp3 ; z.mp3|/lists/z.mp3"},
        // A title belongs to the next path only; commas in quoted attributes.
        {m3u("#EXTINF:-1 tvg-name=\"a,b\" group-title=\"x\",Real, Title\n#EXTGRP:kept apart\none.mp3\n"
             "two.mp3\n#EXTINF:200\nthree.mp3\n#EXTINF:7,  \nfour.mp3\n#extinf:3.6,Star*Name\nfive.mp3\n"
             "#EXTINF:abc,first\n#EXTINF:-5,second\nsix.mp3\n#EXTINF:1 open=\"quote,After comma\nseven.mp3\n"
             "#EXTINF:1e99,big\neight.mp3\n"),
         (u"Complete ; Real, Title|/lists/one.mp3 ; two.mp3|/lists/two.mp3 ; three.mp3|/lists/three.mp3@200 "
          "; "
          "four.mp3|/lists/four.mp3@7 ; Star\u2217Name|/lists/five.mp3@4 ; second|/lists/six.mp3 ; "
          "After comma|/lists/seven.mp3@1 ; big|/lists/eight.mp3@2147483647"_s)},
        {m3u("http://radio.example/stream\nHTTPS://example.org/a.mp3\nrtsp://cam.local/live\n"
             "file:///music/My%20Song%2A.mp3\nfile://localhost/music/b.mp3\nfile://otherhost/music/c.mp3\n"
             "file:///music/bad%FF.mp3\nLive: Song.mp3\nC:\\Music\\d.mp3\n"),
         (u"Complete ; My Song\u2217.mp3|/music/My Song*.mp3 ; b.mp3|/music/b.mp3 ; "
          "Live: Song.mp3|/lists/Live: Song.mp3 ; C:\\Music\\d.mp3|/lists/C:\\Music\\d.mp3 ; skipped 5"_s)},
        // .m3u is UTF-8 or else Windows-1252 line by line; .m3u8 always UTF-8.
        {m3u("Caf\xC3\xA9.mp3\nx\xE9.mp3\n"),
         u"Complete ; Café.mp3|/lists/Café.mp3 ; xé.mp3|/lists/xé.mp3"_s},
        {m3u("x\xE9.mp3\n", M3uText::Utf8), u"Complete ; x\uFFFD.mp3|/lists/x\uFFFD.mp3"_s},
        // Paths past any file system's limit are bad lines; titles and names are cut.
        {m3u("a.mp3\n/" + QByteArray(4096, 'p') + "\nb.mp3\n"), "LineTooLong ; a.mp3|/lists/a.mp3"},
        {readM3u(QByteArray(4090, 'r'), M3uText::Utf8, "/a/b/c/d"), "LineTooLong"},
        {m3u(QByteArray(16 << 20, 'q')), "LineTooLong"},
        {readM3u(QByteArray(4094, 'r') + "\n", M3uText::Utf8, "/"),
         "Complete ; " + QString(255, u'r') + "|/" + QString(4094, u'r')},
        {m3u("#EXTINF:1," + QByteArray(16 << 20, 'n') + "\nx.mp3\n"),
         "Complete ; " + QString(255, u'n') + "|/lists/x.mp3@1"},
        {m3u(emoji + "\nx.mp3\n"), "Complete ; " + u"\U0001F3B5"_s.repeated(127) + "|/lists/x.mp3@1"},
        // Only the file's first bytes can be its byte order mark; no entry goes without a name.
        {m3u("#EXTM3U\n#EXTINF:1,\xEF\xBB\xBFtitle\n/m/\xEF\xBB\xBF"
             "file.mp3\n/m/folder/\n"),
         "Complete ; " + bom + "title|/m/" + bom + "file.mp3@1 ; /m/folder/|/m/folder/"},
        {readM3u("keep1.mp3\ndrop.mp3\nkeep2.mp3\nkeep3.mp3\n", M3uText::Utf8, kFolder, keep, {9, 60}),
         "PlaylistFull ; keep1.mp3|/lists/keep1.mp3 ; keep2.mp3|/lists/keep2.mp3 ; skipped 1"},
        {readM3u("drop.mp3\nhttp://x/y\n", M3uText::Utf8, kFolder, keep, {0}), "Complete ; skipped 2"},
        // Windows separators, then the line without blanks around, are tried when the name as written is no
        // file.
        {readM3u("Album\\song.mp3\nAC\\DC.mp3\nAlbum\\gone.mp3\n \t\n\t Album/song.mp3 \n \thttp://x/y",
                 M3uText::Utf8, dir.path(), std::ref(exists)),
         "Complete ; song.mp3|" + song + " ; AC\\DC.mp3|" + literal + " ; song.mp3|" + song + " ; skipped 2"},
    });
}
TEST(PlaylistWriters, KvplKeepsLinesAsTheyAreAndEncodesOnlyWhatALineCannotHold) {
    PlaylistModel model;
    // Relative paths that need a URL ("url", "relative") cannot be written so that they read back.
    model.appendEntries({{u"Café.mp3"_s, "/m/CAFE.MP3"},
                         {"", "/m/unnamed.mp3"},
                         {"b.avi", ""},
                         {"plain.mp3", "/m/100% sure.mp3"},
                         {"win.mp3", "C:\\MUSIC\\SONGON~1.MP3"},
                         {"star.wav", "/m/*NSYNC.wav"},
                         {"lines.wav", "/m/a\rb\nc.wav"},
                         {"url", "file:///m/a.wav"},
                         {"a*b\r\nc", "/m/n.wav"},
                         {"relative", "m/*.wav"}});
    const QByteArray bytes = playlistBytes(model);
    EXPECT_EQ(bytes, "Caf\xC3\xA9.mp3*/m/CAFE.MP3\r\nb.avi*\r\nplain.mp3*/m/100% sure.mp3\r\n"
                     "win.mp3*C:\\MUSIC\\SONGON~1.MP3\r\nstar.wav*file:///m/%2ANSYNC.wav\r\n"
                     "lines.wav*file:///m/a%0Db%0Ac.wav\r\na\xE2\x88\x97"
                     "b\xE2\x90\x8D\xE2\x90\x8A"
                     "c*/m/n.wav\r\n" +
                         kEnd);
    // The reader drops a byte order mark starting the file: the writer adds one, so a first name keeps its.
    const QString marked = QChar(0xFEFF) + QString("song.mp3");
    PlaylistModel bom;
    bom.appendEntries({{marked, "/m/1"}, {marked, "/m/2"}});
    const QByteArray markedBytes = playlistBytes(bom);
    EXPECT_TRUE(
        markedBytes.startsWith("\xEF\xBB\xBF\xEF\xBB\xBFsong.mp3*/m/1\r\n\xEF\xBB\xBFsong.mp3*/m/2\r\n"));
    EXPECT_EQ(describe(readPlaylist(markedBytes)), "Complete ; " + marked + "|/m/1 ; " + marked + "|/m/2");
}
TEST_F(PlaylistFileOps, ReadersTakeOnlyARegularFileOfALoadableSize) {
    ASSERT_TRUE(QFile(dir.write("huge.m3u")).resize(kMaxPlaylistFileBytes + 1));
    // A pipe would block a plain open for ever.
    for (const QString& path :
         {dir.file("missing.m3u"), dir.mkdir("folder.m3u"), makePipe(dir.file("p.m3u")), QString()}) {
        EXPECT_EQ(readPlaylistFile(path).status, PlaylistReadStatus::Unreadable) << path.toStdString();
        EXPECT_EQ(readM3uFile(path).status, PlaylistReadStatus::Unreadable) << path.toStdString();
    }
    EXPECT_TRUE(readPlaylistFile(dir.file("huge.m3u")).status == PlaylistReadStatus::TooLarge &&
                readM3uFile(dir.file("huge.m3u")).status == PlaylistReadStatus::TooLarge);
    // M3U paths are taken from the playlist's real folder, wherever a link leads.
    const QString media = QFileInfo(dir.write("media/a.mp3")).canonicalFilePath();
    dir.write("lists/mix.M3U8", "#EXTM3U\n../media/a.mp3\n");
    ASSERT_TRUE(QFile::link(dir.file("lists"), dir.mkdir("elsewhere") + "/linked"));
    for (const QString& list : {dir.file("lists/mix.M3U8"), dir.file("elsewhere/linked/mix.M3U8")})
        EXPECT_EQ(describe(readM3uFile(list)), "Complete ; a.mp3|" + media);
}
// Read a piece at a time, a file (CR LF across pieces, late Windows-1252 byte, BOM) reads as its bytes do.
TEST_F(PlaylistFileOps, FilesReadInPiecesAsTheirBytesDo) {
    QByteArray bytes = "\xEF\xBB\xBF" + QByteArray("n*/p/a.mp3\r\n").repeated(87376);
    bytes += "y*/" + QByteArray((1 << 20) - 4 - bytes.size(), 'q') + "\r\nz*/last\r\n"; // CR ends the piece
    for (const QByteArray& tail : {QByteArray(), QByteArray("\xE9t\xE9*/\xE9\r\n")})
        EXPECT_EQ(describe(readPlaylistFile(dir.write("big.KVPL", bytes + tail + kEnd))),
                  describe(readPlaylist(bytes + tail + kEnd)));
}
// Any name and path comes back unit for unit, copies too, and counts as its saved line does.
TEST(PlaylistModel, HoldsAnyNameAndPathExactly) {
    const QString lone(QChar(0xD800)), wide = u"Ölund – 東京"_s;
    const std::vector<PlaylistEntry> rows = {
        {"a.mp3", "/m/a.mp3"},       {"b", "/m/a.mp3"},        {"", "/m/a.mp3"},  {"", "/m/"}, {"x", "/m/"},
        {u"é"_s, u"/m/é"_s},         {wide, "/m/" + wide},     {lone, u"/m/ÿ"_s}, {"a", "a"},  {u"ÿ"_s, ""},
        {"a" + lone, "/m/a" + lone}, {"t", "/t", false, 0, -7}};
    PlaylistModel model;
    model.appendEntries(rows);
    const PlaylistEntries copy = model.entries();
    qint64 bytes = kMaxPlaylistLineBytes - model.room().bytes;
    for (size_t i = 0; i < rows.size(); bytes -= playlistLineBytes(rows[i].name, rows[i].path), ++i)
        EXPECT_TRUE(copy[i].name == rows[i].name && copy[i].path == rows[i].path &&
                    copy[i].seconds == rows[i].seconds);
    EXPECT_EQ(bytes, 0);
}
TEST_F(PlaylistFileOps, WritersReplaceOnlyARegularFileWholeAndLeaveNoLeftovers) {
    PlaylistModel model;
    model.append("a.mp3", "/m/" + QString(200, u'x'));
    const std::pair<std::function<bool(const QString&)>, QByteArray> writers[] = {
        {[&](const QString& path) { return writePlaylistFile(model, path); }, playlistBytes(model)},
        {[&](const QString& path) { return writeM3u8File(model, path); }, m3u8Bytes(model, "/")}};
    const QString pipe = makePipe(dir.file("pipe"));
    for (const auto& [write, bytes] : writers) {
        EXPECT_FALSE(write(pipe) || write(dir.write("plain") + "/under") || write(""));
        EXPECT_TRUE(QFileInfo::exists(pipe) && !QFileInfo(pipe).isFile());
        dir.write("folder/inside.mp3", "keep");
        EXPECT_FALSE(write(dir.file("folder")));
        EXPECT_EQ(readAll(dir.file("folder/inside.mp3")), "keep");
        // The disk filling up halfway (a file size limit stops even root).
        const QString old = dir.write("full/old", QByteArray(300, 'o'));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &small);
        const bool written = write(old);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_TRUE(!written && readAll(old) == QByteArray(300, 'o'));
        EXPECT_EQ(listing(dir.path()), (QStringList{"folder", "full", "pipe", "plain"}));
        EXPECT_EQ(listing(dir.file("full")), QStringList{"old"});
        EXPECT_TRUE(write(old) && readAll(old) == bytes); // the longer old file is replaced whole
    }
}
// Loads take the files that exist (from an M3U regular ones), up to a full list (the start-up's load a
// .KVPL).
TEST_F(PlaylistFileOps, LoadsAppendExistingFilesAndStopAtAFullList) {
    EXPECT_EQ(loadPlaylist(shown, dir.file("none.KVPL"), dialogs), PlaylistLoad::NoFile);
    LoadPlaylistFile(shown, dir.mkdir("folder.KVPL"), dialogs);
    const QString a = QFileInfo(dir.write("media/a.mp3")).canonicalFilePath();
    dir.write("media/b.mp3");
    dir.mkdir("media/folder.mp3");
    makePipe(dir.file("media/pipe.mp3"));
    const QString m3u =
        dir.write("lists/mix.m3u", "#EXTINF:3,First\r\n../media/a.mp3\r\n../media/gone.mp3\r\n"
                                   "../media/folder.mp3\r\n../media/pipe.mp3\r\n../media/b.mp3\r\n");
    EXPECT_EQ(loadPlaylist(shown, m3u, dialogs), PlaylistLoad::Partial);
    EXPECT_EQ(entryNames(shown), (QStringList{"First", "b.mp3"}));
    EXPECT_EQ(QFileInfo(shown.path(0)).canonicalFilePath(), a);
    EXPECT_EQ(shown.entries()[0].seconds, 3);
    LoadPlaylistFile(
        shown,
        dir.write("named.KVPL", u"Ölund*%1\r\nb*%2\r\n"_s.arg(a, dir.file("media/b.mp3")).toUtf8() + kEnd),
        dialogs);
    qint64 left = kMaxPlaylistLineBytes; // what the loads took is what their lines take
    for (int i = 0; i < shown.count(); ++i)
        left -= playlistLineBytes(shown.name(i), shown.path(i));
    EXPECT_EQ(shown.room().bytes, left);
    fillUpTo(70000); // counts are not limited to 16 bits, but to the bound
    LoadPlaylistFile(shown, dir.write("cut.KVPL", "d.mp3*" + dir.write("media/d.mp3").toUtf8()),
                     dialogs); // cut short: what it held stays
    EXPECT_EQ(shown.name(70004), "d.mp3");
    fillUpTo(shown.room().entries - 2);
    LoadPlaylistFile(shown, dir.write("two.m3u8", "media/a.mp3\nmedia/b.mp3\nmedia/a.mp3\n"), dialogs);
    EXPECT_EQ(shown.count(), kMaxPlaylistEntries);
    EXPECT_EQ(messages(), (QStringList{notLoaded(3), kLoadError, kLoadError}));
    EXPECT_EQ(dialogs.messages[0].title, kProblemTitle);
}
// A dialog answering with its own file name pattern, or nothing, was cancelled (common paths: window tests).
TEST_F(PlaylistFileOps, DialogLoadSaveAsAndQuickSaveReportTheirOwnErrors) {
    dialogs.fileAnswers = {u"*.KVPL"_s, u""_s, dir.file("none.KVPL"),
                           dir.write("cut.KVPL", "b.mp3*" + dir.write("media/b.mp3").toUtf8()),
                           dir.write("gone.KVPL", "g*/gone\r\n" + kEnd)};
    for (int i = 0; i < 5; ++i)
        loadPlaylistWithDialog(shown, dialogs);
    EXPECT_EQ(entryNames(shown), QStringList{"b.mp3"});
    EXPECT_EQ(messages(), (QStringList{kDialogLoadError, kDialogLoadError, notLoaded(1)}));
    dialogs.messages.clear();
    // "Save as" writes even an empty playlist, the quick save does not.
    shown.clear();
    QString remembered;
    quickSavePlaylist(shown, remembered, dir.file("default"), dialogs);
    dialogs.fileAnswers = {dir.file("empty")};
    savePlaylistAs(shown, "/start", dialogs);
    EXPECT_EQ(readAll(dir.file("empty.KVPL")), kEnd);
    EXPECT_TRUE(remembered.isEmpty() && !QFileInfo::exists(dir.file("default.KVPL")));
    shown.append("a.mp3", "/m/a.mp3");
    for (auto [path, written] :
         {std::pair{u""_s, dir.file("default.KVPL")}, {dir.file("auto"), dir.file("auto.KVPL")}}) {
        remembered = path;
        quickSavePlaylist(shown, remembered, dir.file("default"), dialogs);
        EXPECT_EQ(remembered, written);
        EXPECT_EQ(readAll(written), "a.mp3*/m/a.mp3\r\n" + kEnd);
    }
    EXPECT_TRUE(dialogs.messages.empty());
    // By the chosen name an M3U8 (relative paths from the working folder, line breaks in a file:// URL).
    shown.appendEntries({{"Song, One", "/m/s.mp3", false, 0, 215},
                         {"", "/m/nameless.mp3"},
                         {"pathless", ""},
                         {"bad", "/m/line\nbreak.mp3"},
                         {"worse", "/m/carriage\rreturn.mp3"},
                         {"name\nwith*break", "rel/b.mp3"}});
    dialogs.fileAnswers = {dir.file("out.m3u8"), dir.mkdir("taken.m3u8"), dir.mkdir("taken.KVPL")};
    for (int i = 0; i < 4; ++i) // the last one cancelled
        savePlaylistAs(shown, "/start", dialogs);
    EXPECT_EQ(readAll(dir.file("out.m3u8")),
              "#EXTM3U\n#EXTINF:-1,a.mp3\n/m/a.mp3\n#EXTINF:215,Song, One\n/m/s.mp3\n#EXTINF:-1,bad\n"
              "file:///m/line%0Abreak.mp3\n#EXTINF:-1,worse\nfile:///m/"
              "carriage%0Dreturn.mp3\n#EXTINF:-1,name\xE2\x90\x8Awith\xE2\x88\x97"
              "break\n" +
                  QDir::currentPath().toUtf8() + "/rel/b.mp3\n");
    QString unwritable = dir.write("plain") + "/under";
    quickSavePlaylist(shown, unwritable, {}, dialogs);
    EXPECT_EQ(messages(), QStringList(3, kSaveError));
}
TEST(AddFiles, DropsAppendAcceptedFilesAndLoadPlaylistFilesInOrder) {
    TempDir dir;
    const QString a = dir.write("Music/a.MP3");
    const QString odd = dir.write("Music/*x\ny\\z.mp3");
    const QStringList lists = {dir.write("Music/list.kvpl"), dir.write("Music/mix.m3u8"),
                               dir.write("Music/mix.M3U")};
    PlaylistModel model;
    QStringList loaded; // each load leaves a marker entry: the order of loads among appends shows
    const PlaylistLoader load = [&](const QString& path) {
        loaded << path, model.append("<loaded>", path);
    };
    const AddOutcome outcome =
        addDroppedFiles(model,
                        {a, lists[0], dir.mkdir("Music/Rock"), dir.write("Vol.mp3/track"), odd, lists[1],
                         lists[2], "/no/such/file.mp3", "C:\\Music\\x.mp3", ""},
                        kPatterns, load);
    EXPECT_EQ(entryNames(model), (QStringList{"a.MP3", "<loaded>", u"∗x␊y\\z.mp3"_s, "<loaded>", "<loaded>",
                                              "file.mp3", "x.mp3"}));
    EXPECT_EQ(model.path(0), a);
    EXPECT_EQ(model.path(2), odd); // the path stays exact
    EXPECT_EQ(model.path(5), "");
    EXPECT_EQ(loaded, lists);
    EXPECT_EQ(std::tuple(outcome.appended, outcome.playlistsLoaded, outcome.lastName, outcome.full),
              std::tuple(4, 3, QString(), false));
    // From the browser (the common adds are the main window's): a name gone since it was listed, none.
    const AddOutcome gone = addBrowserFile(model, dir.path(), "gone.mp3", load);
    EXPECT_EQ(addBrowserFile(model, dir.path(), "", load).appended + gone.appended, 1);
    EXPECT_EQ(model.path(7) + gone.lastName, "gone.mp3");
}
// Odd names round-trip through a saved playlist byte for byte; names that are not UTF-8 are not offered.
TEST(AddFiles, AnyFileNameIsSavedAndLoadedBackExactly) {
    TempDir dir;
    const std::filesystem::path raw = QFile::encodeName(dir.file("raw")).toStdString();
    const std::shared_ptr<void> remove(nullptr,
                                       [&](void*) { std::filesystem::remove_all(raw); }); // not UTF-8
    for (const char* folder : {"Sub\xE9", "S1/Deep", ".hidden"})
        std::filesystem::create_directories(raw / folder);
    // With its subfolders, never deeper, nor hidden ones, nor a link back to the folder or above it.
    std::filesystem::create_directory_symlink(".", raw / "loop");
    std::filesystem::create_directory_symlink("..", raw / "up");
    for (const char* name :
         {"*NSYNC.wav", "x\ry.wav", "a.wav", "z.wav", "line\nbreak.wav", "caf\xE9.wav", "Sub\xE9/in.wav",
          "S1/s1.mp3", "S1/l.kvpl", "S1/n.txt", "S1/Deep/d.mp3", ".hidden/h.mp3"})
        std::ofstream(raw / name).put('x');
    const PatternList patterns(kPatterns);
    PlaylistModel model;
    const AddOutcome added = addFolderAndSubfolders(model, dir.file("raw"),
                                                    listMatchingFiles(dir.file("raw"), patterns), patterns);
    AddFolderFiles(model, dir.file("raw/S1"), patterns);
    EXPECT_EQ(entryNames(model), u"∗NSYNC.wav|a.wav|line␊break.wav|x␍y.wav|z.wav|s1.mp3|s1.mp3"_s.split('|'));
    EXPECT_EQ(std::make_pair(added.appended, added.lastName), std::make_pair(6, u"s1.mp3"_s));
    EXPECT_EQ(model.path(0), dir.file("raw/*NSYNC.wav"));
    model.setChecked(1, true);
    ASSERT_TRUE(writePlaylistFile(model, dir.file("list.KVPL")));
    PlaylistReadResult saved{model.entries(), PlaylistReadStatus::Complete};
    saved.entries.records[1].checked = false; // a check is not saved
    const PlaylistPathFilter exists = [](const QString& path, QByteArrayView) {
        return isExistingFile(path);
    };
    EXPECT_EQ(describe(readPlaylistFile(dir.file("list.KVPL"), exists)), describe(saved));
}
// The folder listings never change an answer: every kind of path gets the single check's, before and after.
TEST(ExistingFiles, AnswersAsTheSingleCheckDoesForEveryKindOfPath) {
    TempDir dir;
    const QString file = dir.write("album/song.mp3");
    dir.write("album/other.mp3");
    dir.mkdir("album/sub");
    QFile::link(file, dir.file("album/link.mp3"));
    QFile::link(dir.file("album/sub"), dir.file("album/folderlink"));
    QFile::link(dir.file("album/gone.mp3"), dir.file("album/dangling.mp3"));
    makePipe(dir.file("album/pipe"));
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(dir.file("album"));
    QStringList paths = {"song.mp3", "other.mp3", "/", "", file + QChar(0), dir.file("nowhere/song.mp3")};
    paths << dir.write(u"日本/a.mp3"_s) << dir.write(u"日本/Café €.mp3"_s)
          << dir.file("album/") + QChar(0xD800) + "x.mp3";
    for (const char* name : {"song.mp3", "SONG.mp3", "missing.mp3", "sub", "sub/", "link.mp3", "folderlink",
                             "dangling.mp3", "pipe", ".", "..", "sub/../song.mp3", "/song.mp3", "song.mp3/x"})
        paths << dir.file("album/") + name;
    ExistingFiles exists;
    ExistingFiles regular(ExistingFiles::Kind::RegularOnly);
    for (int round = 0; round < 3; ++round)
        for (const QString& path : paths) {
            EXPECT_EQ(exists(path), isExistingFile(path)) << path.toStdString() << " round " << round;
            EXPECT_EQ(regular(path), isRegularFile(path)) << path.toStdString() << " round " << round;
        }
    EXPECT_FALSE(isExistingFile(file + QChar(0)) || isRegularFile(file + QChar(0)));
    QDir::setCurrent(previousFolder);
}
// Folders listed ahead of a load, on a worker, never change an answer either, however the two meet: runs of
// one folder, more folders than the worker may hold ahead, folders named apart, missing folders and names, a
// file URL.
TEST(ExistingFiles, ListingAheadOfAPlaylistFileChangesNoAnswer) {
    TempDir dir;
    QStringList paths;
    const auto runOf = [&](const QString& folder, int files) {
        for (int i = 0; i < files; ++i)
            paths << dir.write(folder + "/" + QString::number(i) + ".mp3");
    };
    runOf("run", 300);
    paths.insert(150, dir.file("run/missing.mp3"));
    paths.insert(151, dir.mkdir("run/sub"));
    QFile::link(paths[0], dir.file("run/link.mp3"));
    paths.insert(152, dir.file("run/link.mp3"));
    for (int folder = 0; folder < 100; ++folder)
        runOf("many/" + QString::number(folder), 2);
    for (int i = 0; i < 3; ++i)
        paths << dir.write("x/" + QString::number(i)) << dir.write("y/" + QString::number(i));
    paths << dir.file("gone/1.mp3") << dir.file("gone/2.mp3") << dir.file("gone/3.mp3");
    runOf("last", 50);
    QByteArray file;
    for (const QString& path : paths)
        file += "name*" + (path == paths[40] ? "file://" + path.toUtf8() : path.toUtf8()) + "\r\n";
    file += kEnd + "name*" + dir.file("run/0.mp3").toUtf8() + "\r\n";
    const QString list = dir.write("list.KVPL", file);
    for (int round = 0; round < 3; ++round) {
        ExistingFiles exists;
        exists.listAheadOf(list);
        if (round == 0)
            exists.waitForListingsAhead();
        for (const QString& path : paths)
            EXPECT_EQ(exists(path), isExistingFile(path)) << path.toStdString() << " round " << round;
    }
}
// The worker lists runs in file order, as far ahead as it may; the load takes a listing at its run, and one
// it has passed by (or got to first) is never made for it.
TEST(FolderPrefetch, ListsRunsAheadInOrderAndKeepsToWhereTheLoadIs) {
    TempDir dir;
    QByteArray file;
    for (int i = 0; i < 300; ++i)
        file += "name*" + dir.write("run/" + QString::number(i) + ".mp3").toUtf8() + "\r\n";
    dir.mkdir("run/sub");
    for (int folder = 0; folder < 100; ++folder) // lines 300 + 2 * folder and the one after
        for (int i = 0; i < 2; ++i)
            file += "name*" + dir.write(u"many/%1/%2.mp3"_s.arg(folder).arg(i)).toUtf8() + "\r\n";
    const QString list = dir.write("list.KVPL", file + kEnd);
    const auto folder = [&dir](const QString& name) {
        return QFile::encodeName(dir.file(name));
    };
    {
        FolderPrefetch ahead(list, false, ExistingFiles::kMaxNamesPerFolder);
        ahead.waitUntilAhead(); // "run" and many/0 to many/62
        const std::optional<FolderListing> run = ahead.take(folder("run"), 1);
        ASSERT_TRUE(run);
        EXPECT_EQ(run->outcome, FolderListing::Outcome::Listed);
        EXPECT_EQ(run->files.size(), 300);
        EXPECT_TRUE(run->files.contains("299.mp3") && !run->files.contains("sub"));
        EXPECT_FALSE(ahead.take(folder("many/70"), 441)); // not made yet: the load lists it
        ahead.waitUntilAhead();                           // to the end of the file
        EXPECT_FALSE(ahead.take(folder("many/10"), 321)); // made, and dropped as passed by
        EXPECT_FALSE(ahead.take(folder("many/70"), 441)); // never made: the load got there first
        const std::optional<FolderListing> next = ahead.take(folder("many/71"), 443);
        ASSERT_TRUE(next);
        EXPECT_EQ(next->files.size(), 2);
    }
    // A load that ends while the worker waits for it to catch up ends the worker.
    {
        FolderPrefetch waiting(list, false, ExistingFiles::kMaxNamesPerFolder);
        waiting.waitUntilAhead();
    }
    EXPECT_TRUE(waitUntil([] { return FolderPrefetch::running() == 0; }));
}
