#include "support/TagFiles.h"
#include "support/TempDir.h"
#include "tags/clsID3.h"
#include <QFile>
#include <gtest/gtest.h>

namespace {

class clsID3Test : public ::testing::Test {
protected:
    TempDir dir;
    clsID3 tag;

    QString tagged(const QString& name, const TagBytes& fields, int audio = 1000) {
        return dir.write(name, audioBytes(audio) + fields.record());
    }
    static QString nuls(int count) { return QString(count, QChar(0)); }
};

TEST_F(clsID3Test, FieldsAreTrimmedOfBlanksThenLoseEveryNul) {
    TagBytes fields;
    fields.title = "abc";                                           // NUL padding after it
    fields.artist = "  abc   ";                                     // blanks before the padding stay
    fields.album = QByteArray(" a\0b\0c", 6) + QByteArray(24, ' '); // blanks to the end: all trimmed
    fields.year = "    ";                                           // only blanks
    fields.comment = QByteArray("Caf\xE9 \xFF", 6);                 // ISO-8859-1 text
    fields.genre = 200;
    const QString path = tagged("song.mp3", fields);

    tag.setFilename(path);

    EXPECT_TRUE(tag.TagFound());
    EXPECT_EQ(tag.Filename(), path);
    EXPECT_EQ(tag.Title(), "abc");
    EXPECT_EQ(tag.Artist(), "abc   ");
    EXPECT_EQ(tag.Album(), "abc");
    EXPECT_EQ(tag.Year(), "");
    EXPECT_EQ(tag.Comment(), QString::fromUtf8("Café ÿ"));
    EXPECT_EQ(tag.Genre(), 200);
}

TEST_F(clsID3Test, TrackNumberOfAVersion11TagEndsTheComment) {
    tag.setFilename(tagged("v11.mp3", {.comment = QByteArray(28, 'c') + QByteArray("\0\x07", 2)}));
    EXPECT_EQ(tag.Comment(), QString(28, u'c') + QChar(7));
}

TEST_F(clsID3Test, OnlyNamesEndingInMp3OfAnyCaseLoad) {
    const TagBytes fields{.title = "t"};
    for (const char* name : {"a.Mp3", "b.MP3", "c.mp3"}) {
        clsID3 id3;
        id3.setFilename(tagged(name, fields));
        EXPECT_TRUE(id3.TagFound()) << name;
    }
    for (const char* name : {"d.mp3 ", "e.mp4", "mp3", "f.wav"}) {
        clsID3 id3;
        id3.setFilename(tagged(name, fields));
        EXPECT_FALSE(id3.TagFound()) << name;
        EXPECT_EQ(id3.Filename(), "") << name;
        EXPECT_EQ(id3.Title(), "") << name;
    }
}

TEST_F(clsID3Test, ShortFilesFilesWithoutTagsAndFoldersDoNotLoad) {
    const TagBytes fields{.title = "t"};
    const QString good = tagged("good.mp3", fields);
    const QString shortFile = dir.write("short.mp3", fields.record().left(127));
    const QString noTag = dir.write("plain.mp3", audioBytes(1000));
    const QString folder = dir.mkdir("folder.mp3");
    for (const QString& path : {shortFile, noTag, folder, dir.file("missing.mp3"), QString()}) {
        tag.setFilename(good);
        ASSERT_TRUE(tag.TagFound());
        tag.setFilename(path);
        EXPECT_FALSE(tag.TagFound()) << path.toStdString();
        EXPECT_EQ(tag.Filename(), "") << path.toStdString();
    }
}

TEST_F(clsID3Test, SaveWritesOnlyTheRecordAndKeepsUneditedFieldsByteForByte) {
    TagBytes fields;
    fields.title = QByteArray("  \xC4rger \0x ", 12); // blanks, a NUL, a Latin-1 letter
    fields.year = "1999";
    fields.comment = "old comment";
    fields.genre = 17;
    const QByteArray audio = audioBytes(100'000);
    const QString path = dir.write("song.mp3", audio + fields.record());

    tag.setFilename(path);
    tag.setArtist(QString::fromUtf8("Ärzte"));
    tag.setAlbum(QString(40, u'x'));
    tag.setComment(QString());
    tag.setGenre(300);
    EXPECT_EQ(tag.SaveTag(), "");

    TagBytes expected = fields;
    expected.artist = "\xC4rzte";
    expected.album = QByteArray(30, 'x');
    expected.comment = {};
    expected.genre = 255;
    const QByteArray after = readAll(path);
    ASSERT_EQ(after.size(), audio.size() + 128);
    EXPECT_EQ(after.left(audio.size()), audio);
    EXPECT_EQ(after.mid(audio.size()), expected.record());
    EXPECT_TRUE(tag.TagFound());
    EXPECT_EQ(tag.Filename(), path);

    // Saving what was loaded changes nothing at all.
    clsID3 again;
    again.setFilename(path);
    EXPECT_EQ(again.SaveTag(), "");
    EXPECT_EQ(readAll(path), after);
}

TEST_F(clsID3Test, SettersCutOrPadWithNulsAndGenreKeepsToAByte) {
    const QString path = tagged("song.mp3", TagBytes{});
    tag.setFilename(path);

    tag.setYear("12345");
    EXPECT_EQ(tag.Year(), "1234");
    tag.setYear("12");
    EXPECT_EQ(tag.Year(), "12" + nuls(2));
    tag.setTitle("Hi");
    EXPECT_EQ(tag.Title(), "Hi" + nuls(28));
    for (auto [given, stored] : {std::pair<qint16, qint16>{300, 255}, {-1, 255}, {0, 0}, {255, 255}}) {
        tag.setGenre(given);
        EXPECT_EQ(tag.Genre(), stored) << given;
    }

    ASSERT_EQ(tag.SaveTag(), "");
    clsID3 reread;
    reread.setFilename(path);
    EXPECT_EQ(reread.Year(), "12");
    EXPECT_EQ(reread.Title(), "Hi");
    EXPECT_EQ(reread.Genre(), 255);
}

TEST_F(clsID3Test, AFileDeletedAfterLoadingIsNoLongerReadOrWritten) {
    const TagBytes fields{.title = "Title", .artist = "Artist", .year = "2001", .genre = 9};
    const QByteArray bytes = audioBytes(500) + fields.record();
    const QString path = dir.write("song.mp3", bytes);
    tag.setFilename(path);
    ASSERT_TRUE(QFile::remove(path));

    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Artist(), "");
    EXPECT_EQ(tag.Year(), "");
    EXPECT_EQ(tag.Genre(), 0);
    EXPECT_EQ(tag.Filename(), path);
    tag.setTitle("New");
    tag.setGenre(1);

    // Back on disk, the file shows that the setters did nothing.
    dir.write("song.mp3", bytes);
    EXPECT_EQ(tag.Title(), "Title");
    EXPECT_EQ(tag.Genre(), 9);

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(tag.SaveTag(), kFileNotFound);
    EXPECT_FALSE(tag.TagFound());
    EXPECT_EQ(tag.Filename(), "");
}

TEST_F(clsID3Test, FilesThatLostTheirTagOrAreOnlyATagAreNeverWritten) {
    // A file that is nothing but a tag loads, but is too short to be saved.
    const QString recordOnly = dir.write("only.mp3", TagBytes{}.record());
    tag.setFilename(recordOnly);
    EXPECT_TRUE(tag.TagFound());
    tag.setTitle("x");
    EXPECT_EQ(tag.SaveTag(), "");
    EXPECT_FALSE(tag.TagFound());
    EXPECT_EQ(tag.Filename(), "");
    EXPECT_EQ(readAll(recordOnly), TagBytes{}.record());

    // A file whose tag went away after loading keeps its bytes.
    const QString path = tagged("song.mp3", TagBytes{});
    for (const QByteArray& replacement : {audioBytes(5000), audioBytes(100)}) {
        tag.setFilename(path);
        dir.write("song.mp3", replacement);
        tag.setTitle("x");
        EXPECT_EQ(tag.SaveTag(), "");
        EXPECT_FALSE(tag.TagFound());
        EXPECT_EQ(readAll(path), replacement);
        dir.write("song.mp3", audioBytes(1000) + TagBytes{}.record());
    }
}

TEST_F(clsID3Test, AWriteProtectedFileGivesTheErrorToTheCaller) {
    const QString path = tagged("song.mp3", {.title = "Kept"});
    const QByteArray before = readAll(path);
    tag.setFilename(path);
    tag.setTitle("Changed");
    WriteProtection guard(path);
    if (!guard.active)
        GTEST_SKIP() << "cannot write-protect a file here";

    EXPECT_THROW(tag.SaveTag(), TagFileError);
    EXPECT_EQ(readAll(path), before);

    // Without a tag, a protected file is passed over as quietly as any other.
    const QString plain = dir.write("plain.mp3", audioBytes(1000));
    WriteProtection plainGuard(plain);
    ASSERT_TRUE(plainGuard.active);
    EXPECT_EQ(writeTagRecord(plain, TagRecord{}), TagWriteStatus::NoTag);
    EXPECT_EQ(readAll(plain), audioBytes(1000));
}

} // namespace
