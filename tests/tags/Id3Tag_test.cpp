// The ID3v1 tag of one file, and "Set Tags" over a playlist: written in place, every unedited byte stays.
#include "playlist/PlaylistModel.h"
#include "support/FakeSeams.h"
#include "support/TagFiles.h"
#include "support/TempDir.h"
#include "tags/SetTags.h"
#include "tags/clsID3.h"
#include <gtest/gtest.h>

namespace {

struct Id3Tag : ::testing::Test {
    TempDir dir;
    clsID3 tag;
    const QByteArray audio = audioBytes(1000);
    // Title, artist, album, year, comment, genre: blanks, NULs and bytes above 127 where cleaning a field
    // shows; the album's blanks reach the end of its field, the artist's stand before the NUL padding.
    const TagBytes fields{
        QByteArray("  \xC4rger \0x ", 12), "  abc   ", QByteArray(" a\0b\0c", 6).leftJustified(30), "    ",
        QByteArray("Caf\xE9 \xFF", 6),     200};
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
    EXPECT_EQ(QStringList({tag.Title(), tag.Artist(), tag.Album(), tag.Year(), tag.Comment()}),
              QStringList({QString::fromLatin1("\xC4rger x "), "abc   ", "abc", "",
                           QString::fromLatin1("Caf\xE9 \xFF")}));
    EXPECT_EQ(tag.Genre(), 200);
}

TEST_F(Id3Tag, SaveWritesOnlyTheRecordAndKeepsUneditedFieldsByteForByte) {
    const QString path = dir.write("song.mp3", audioBytes(100'000) + fields.record());
    tag.setFilename(path);
    tag.setArtist(QString::fromUtf8("Ärzte")); // ISO-8859-1, a byte a letter
    tag.setAlbum(QString(40, u'x'));           // cut to its width
    tag.setYear("12345");
    tag.setComment(QString()); // padded with NULs
    EXPECT_EQ(tag.Year() + tag.Comment(), "1234" + QString(30, QChar(0)));
    for (auto [given, stored] : {std::pair<qint16, qint16>{0, 0}, {-1, 255}, {300, 255}})
        EXPECT_EQ((tag.setGenre(given), tag.Genre()), stored) << given;
    EXPECT_EQ(tag.SaveTag(), "");
    const QByteArray after =
        audioBytes(100'000) +
        TagBytes{fields.title, "\xC4rzte", QByteArray(30, 'x'), "1234", {}, 255}.record();
    EXPECT_EQ(readAll(path), after);
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
    const QByteArray tagFile = audio + fields.record();
    using E = std::tuple<QString, QByteArray, bool>; // name, bytes, written
    const E entries[] = {E{"1.mp3", tagFile, true}, E{"plain.mp3", audio, false}, E{"2.Mp3", tagFile, true},
                         E{"3.mp3", tagFile, true}};
    for (const auto& [name, bytes, written] : entries)
        playlist.append(name, dir.write(name, bytes));
    setTags(playlist, {"Artist", "Album", "300 Jazz", "Comment"}, dialogs);
    EXPECT_TRUE(dialogs.messages.empty());
    // Title and year stay; a genre beyond its byte is 255.
    const QByteArray after =
        audio + TagBytes{fields.title, "Artist", "Album", fields.year, "Comment", 255}.record();
    for (const auto& [name, bytes, written] : entries)
        EXPECT_EQ(readAll(dir.file(name)), written ? after : bytes) << name.toStdString();
    // A file that cannot be written ends the run with one message; what was written stays.
    WriteProtection guard(dir.file("2.Mp3"));
    if (!guard.active)
        GTEST_SKIP() << "cannot write-protect a file here";
    setTags(playlist, {"New", "", "1", ""}, dialogs);
    EXPECT_EQ(dialogs.messages.at(0).text, "Problem! Check files");
    EXPECT_EQ(readAll(dir.file("2.Mp3")) + readAll(dir.file("3.mp3")), after + after);
    // A genre beyond 16 bits stops the run before anything is written.
    setTags(playlist, {"Other", "", "40000", ""}, dialogs);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(readAll(dir.file("1.mp3")).mid(audio.size() + 33, 4), QByteArray("New\0", 4));
}

} // namespace
