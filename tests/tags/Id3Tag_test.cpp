// The ID3v1 tag of one file, and "Set Tags" over a playlist: written in place, every unedited byte stays.
#include "playlist/PlaylistModel.h"
#include "support/FakeSeams.h"
#include "support/TagFiles.h"
#include "support/TempDir.h"
#include "tags/SetTags.h"
#include "tags/clsID3.h"
#include <gtest/gtest.h>
#include <numeric>
#include <sys/file.h>

namespace {

struct Id3Tag : ::testing::Test {
    TempDir dir;
    clsID3 tag;
    const QByteArray audio = audioBytes(1000);
    // Title, artist, album, year, comment, genre: blanks, NULs and bytes above 127 where cleaning a field
    // shows; the album's blanks reach the end of its field, the artist's stand before the NUL padding.
    const TagBytes fields{
        QByteArray("  \xC4rger \0x ", 12), "  abc   ", QByteArray(" a\0b\0c", 6).leftJustified(30), "    ",
        QByteArray("\xE9 \x92\x80", 4),    200};
    QString tagged(const QString& name) { return dir.write(name, audio + fields.record()); }
    std::pair<bool, QString> held() const { return {tag.TagFound(), tag.Filename()}; }
};

TEST_F(Id3Tag, OnlyMp3FilesWithATagLoadTheirFieldsTrimmedOfBlanksThenOfEveryNul) {
    const QString good = tagged("good.mp3");
    // Any case of ".mp3" loads, a file that is only a tag too; not one a byte short of a record.
    using L = std::pair<QString, bool>;
    for (const auto& [path, loads] :
         {L{tagged("a.MP3"), true}, L{dir.write("only.mp3", fields.record()), true},
          L{tagged("d.mp3 "), false}, L{tagged("e.mp4"), false}, L{tagged("mp3"), false},
          L{dir.write("short.mp3", fields.record().left(127)), false},
          L{dir.write("plain.mp3", audio), false}, L{dir.mkdir("folder.mp3"), false}}) {
        tag.setFilename(good);
        tag.setFilename(path); // a failed load lets go of the file
        EXPECT_EQ(held(), std::pair(loads, loads ? path : QString())) << path.toStdString();
    }
    tag.setFilename(good);
    EXPECT_EQ(
        QStringList({tag.Title(), tag.Artist(), tag.Album(), tag.Year(), tag.Comment()}),
        QStringList({QString::fromLatin1("\xC4rger x "), "abc   ", "abc", "", QString::fromUtf8("é ’€")}));
    EXPECT_EQ(tag.Genre(), 200);
}

TEST_F(Id3Tag, SaveWritesOnlyTheRecordAndKeepsUneditedFieldsByteForByte) {
    const QString path = dir.write("song.mp3", audioBytes(100'000) + fields.record());
    tag.setFilename(path);
    tag.setArtist(QString::fromUtf8("Ärzte’€")); // Windows-1252, a byte a letter
    tag.setAlbum(QString(40, u'x'));             // cut to its width
    tag.setYear("12345");
    tag.setComment(QString()); // padded with NULs
    EXPECT_EQ(tag.Year() + tag.Comment(), "1234" + QString(30, QChar(0)));
    for (auto [given, stored] : {std::pair<qint16, qint16>{0, 0}, {-1, 255}, {300, 255}})
        EXPECT_EQ((tag.setGenre(given), tag.Genre()), stored) << given;
    EXPECT_EQ(tag.SaveTag(), "");
    EXPECT_EQ(readAll(path),
              (audioBytes(100'000) +
               TagBytes{fields.title, "\xC4rzte\x92\x80", QByteArray(30, 'x'), "1234", {}, 255}.record()));
    EXPECT_EQ(held(), std::pair(true, path));
}

TEST_F(Id3Tag, AFileGoneChangedOrWriteProtectedAfterLoadingIsNeverHarmed) {
    const QString path = tagged("song.mp3");
    tag.setFilename(path);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(tag.Title() + tag.Artist() + tag.Album() + tag.Year() + tag.Comment(), "");
    EXPECT_EQ(tag.Genre(), 0);
    EXPECT_EQ(held(), std::pair(true, path));
    tag.setTitle("New");
    tag.setGenre(1);
    tagged("song.mp3"); // back on disk, the file shows that the setters did nothing
    EXPECT_EQ(tag.Title() + QString::number(tag.Genre()), QString::fromLatin1("\xC4rger x 200"));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(tag.SaveTag(), kFileNotFound);
    EXPECT_EQ(held(), std::pair(false, QString()));
    // Only a tag, no tag any more, or shorter than a tag: the bytes stay and the file is let go.
    for (const QByteArray& replacement : {fields.record(), audioBytes(5000), audioBytes(100)}) {
        tag.setFilename(tagged("song.mp3"));
        dir.write("song.mp3", replacement);
        tag.setTitle("x");
        EXPECT_EQ(tag.SaveTag(), "");
        EXPECT_EQ(held(), std::pair(false, QString()));
        EXPECT_EQ(readAll(path), replacement);
    }
    const QString plain = dir.write("plain.mp3", audio);
    tag.setFilename(tagged("song.mp3"));
    tag.setTitle("Changed");
    WriteProtection guard(path), plainGuard(plain);
    if (!guard.active || !plainGuard.active)
        GTEST_SKIP() << "cannot write-protect a file here";
    EXPECT_THROW(tag.SaveTag(), TagFileError); // for the caller to report
    EXPECT_EQ(readAll(path), audio + fields.record());
    // Without a tag, a protected file is passed over as quietly as any other.
    EXPECT_EQ(writeTagRecord(plain, TagRecord{}), TagWriteStatus::NoTag);
}

TEST_F(Id3Tag, SetTagsTakesTheGenreTextsLeadingNumberWritesEveryTaggedMp3AndStopsAtTheFirstError) {
    using G = std::pair<QString, std::optional<qint16>>; // beyond 16 bits: no genre
    const std::vector<G> cases = {{"\t4\n 2", 42},    {"2.5", 2},    {"3.5", 4},     {"+8x", 8},
                                  {"1e2", 100},       {"1d1", 10},   {"1e", 1},      {"32767", 32767},
                                  {"-32768", -32768}, {"32768", {}}, {"-32769", {}}, {"٣", 0}};
    for (const auto& [text, genre] : cases)
        EXPECT_EQ(genreFromText(text), genre) << text.toStdString();
    PlaylistModel playlist;
    FakeDialogs dialogs;
    setTags(playlist, {"a", "b", "99999", "c"}, dialogs); // an empty list: nothing to fail on
    // An untagged file is passed over quietly; the run goes on.
    const QStringList names = {"1.mp3", "plain.mp3", "2.Mp3", "3.mp3"};
    for (const QString& name : names)
        playlist.append(name, name == "plain.mp3" ? dir.write(name, audio) : tagged(name));
    setTags(playlist, {"Artist", "Album", "300 Jazz", "Comment"}, dialogs);
    EXPECT_TRUE(dialogs.messages.empty());
    // Title and year stay; a genre beyond its byte is 255.
    const QByteArray after =
        audio + TagBytes{fields.title, "Artist", "Album", fields.year, "Comment", 255}.record();
    for (const QString& name : names)
        EXPECT_EQ(readAll(dir.file(name)), name == "plain.mp3" ? audio : after) << name.toStdString();
    // Characters no tag can hold, or a genre beyond 16 bits, stop the run before any file is touched; a file
    // locked by another program stops it there, named with the reason. What was written stays.
    const int locked = ::open(QFile::encodeName(dir.file("2.Mp3")).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(locked, LOCK_EX), 0);
    for (const auto& [texts, problem] :
         {std::pair<TagTexts, QString>{
              {"日本", "", "1", "♪ € ♪"},
              "A tag cannot hold these characters, so no file was changed:\nArtist: 日本\nComment: ♪"},
          {{"New", "", "40000", ""}, "Check files\nGenre: the number is too large"},
          {{"New", "", "1", ""}, "Check files\n" + dir.file("2.Mp3") + ": Locked by another program"}}) {
        EXPECT_EQ(readAll(dir.file("1.mp3")), after);
        setTags(playlist, texts, dialogs);
        EXPECT_EQ(dialogs.messages.back().title + ": " + dialogs.messages.back().text,
                  "Problem: Problem! " + problem);
    }
    ::close(locked);
    EXPECT_EQ(readAll(dir.file("1.mp3")).mid(audio.size() + 33, 4), QByteArray("New\0", 4));
    EXPECT_EQ(readAll(dir.file("2.Mp3")) + readAll(dir.file("3.mp3")), after + after);
}

// Every byte but NUL reads as a Windows-1252 character and goes back as it was; a version 1.1 comment (a NUL
// and a track number in its last two bytes) is 28 bytes wide, so the track number stays.
TEST_F(Id3Tag, EveryByteGoesBackAsItWasAndAVersion11TrackNumberStays) {
    for (int first = 1; first < 256; first += 120) {
        QByteArray p(std::min(120, 256 - first), 0);
        std::iota(p.begin(), p.end(), char(first));
        const TagBytes bytes{p.mid(0, 30), p.mid(30, 30), p.mid(60, 30), {}, p.mid(90, 30)};
        tag.setFilename(dir.write("all.mp3", audio + bytes.record()));
        tag.setTitle(tag.Title()), tag.setArtist(tag.Artist()), tag.setAlbum(tag.Album()),
            tag.setComment(tag.Comment());
        EXPECT_EQ((tag.SaveTag(), readAll(dir.file("all.mp3"))), audio + bytes.record()) << first;
    }
    using C = std::tuple<QByteArray, QString, QByteArray>; // comment found, read, written
    for (const auto& [found, read, written] : {C{QByteArray(30, 'n'), QString(30, 'n'), QByteArray(30, 'c')},
                                               C{QByteArray("Note").leftJustified(29, '\0') + '\7', "Note",
                                                 QByteArray(28, 'c') + QByteArray("\0\7", 2)}}) {
        tag.setFilename(dir.write("v.mp3", audio + TagBytes{.comment = found}.record()));
        EXPECT_EQ(tag.Comment(), read);
        tag.setComment(QString(30, u'c'));
        EXPECT_EQ((tag.SaveTag(), readAll(dir.file("v.mp3")).mid(audio.size() + 97, 30)), written);
    }
}

} // namespace
