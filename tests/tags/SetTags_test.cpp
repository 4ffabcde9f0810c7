#include "playlist/PlaylistModel.h"
#include "support/FakeSeams.h"
#include "support/TagFiles.h"
#include "support/TempDir.h"
#include "tags/SetTags.h"
#include <gtest/gtest.h>

namespace {

class SetTagsTest : public ::testing::Test {
protected:
    TempDir dir;
    PlaylistModel playlistB;
    FakeDialogs dialogs;
    const TagTexts defaults{"Artist", "Album", "Genre", "Comment"};

    TagBytes original() const {
        return {.title = QByteArray("  Keep \xE9 \0me", 12),
                .artist = "Old artist",
                .album = "Old album",
                .year = "1987",
                .comment = "Old",
                .genre = 12};
    }
    QString add(const QString& name, const QByteArray& bytes) {
        const QString path = dir.write(name, bytes);
        playlistB.append(name, path);
        return path;
    }
};

TEST_F(SetTagsTest, AnEmptyPlaylistIsLeftInPeace) {
    setTags(playlistB, {"a", "b", "99999", "c"}, dialogs);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SetTagsTest, OnlyTaggedMp3FilesAreWrittenAndNothingIsShown) {
    const QByteArray audio = audioBytes(20'000);
    const QString first = add("one.mp3", audio + original().record());
    const QByteArray untagged = audioBytes(3000);
    const QString plain = add("plain.mp3", untagged);
    playlistB.append("gone.mp3", dir.file("gone.mp3"));
    const QByteArray wav = audio + original().record();
    const QString notMp3 = add("tagged.wav", wav);
    const QByteArray tagOnly = original().record();
    const QString onlyTag = add("only.MP3", tagOnly);
    const QString last = add("two.Mp3", audio + original().record());

    setTags(playlistB, defaults, dialogs);

    TagBytes expected = original();
    expected.artist = "Artist";
    expected.album = "Album";
    expected.genre = 0;
    expected.comment = "Comment";
    EXPECT_EQ(readAll(first), audio + expected.record());
    EXPECT_EQ(readAll(last), audio + expected.record());
    EXPECT_EQ(readAll(plain), untagged);
    EXPECT_EQ(readAll(notMp3), wav);
    EXPECT_EQ(readAll(onlyTag), tagOnly);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SetTagsTest, GenreIsTheNumberTheTextStartsWith) {
    const std::vector<std::pair<QString, qint16>> cases = {
        {"17 Rock", 17},  {"Rock", 0},        {"", 0},      {" 4 2", 42}, {"2.5", 2}, {"3.5", 4},
        {"-7", -7},       {"+8x", 8},         {"1e2", 100}, {"1d1", 10},  {"1e", 1},  {".5", 0},
        {"32767", 32767}, {"-32768", -32768}, {"0x10", 0},  {"\t\n9", 9}, {"٣", 0}};
    for (const auto& [text, number] : cases)
        EXPECT_EQ(genreFromText(text), std::optional<qint16>(number)) << text.toStdString();
    for (const char* tooLarge : {"32768", "-32769", "1e400", "99999 Jazz"})
        EXPECT_EQ(genreFromText(tooLarge), std::nullopt) << tooLarge;

    // A number beyond the genre byte is stored as 255.
    const QString path = add("song.mp3", audioBytes(500) + original().record());
    setTags(playlistB, {"a", "b", "300", "c"}, dialogs);
    EXPECT_EQ(uchar(readAll(path).back()), 255);
}

TEST_F(SetTagsTest, AnErrorEndsTheRunWithOneMessageAndKeepsWhatWasWritten) {
    const QByteArray audio = audioBytes(1000);
    const QString first = add("1.mp3", audio + original().record());
    const QString locked = add("2.mp3", audio + original().record());
    const QString third = add("3.mp3", audio + original().record());
    WriteProtection guard(locked);
    if (!guard.active)
        GTEST_SKIP() << "cannot write-protect a file here";

    setTags(playlistB, {"New", "", "1", ""}, dialogs);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Problem! Check files");
    EXPECT_EQ(dialogs.messages[0].title, "Problem");
    EXPECT_EQ(readAll(first).mid(audio.size() + 33, 3), "New");
    EXPECT_EQ(readAll(locked), audio + original().record());
    EXPECT_EQ(readAll(third), audio + original().record());

    // A genre beyond 16 bits stops the run before anything is written.
    dialogs.messages.clear();
    setTags(playlistB, {"Other", "", "40000", ""}, dialogs);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(readAll(first).mid(audio.size() + 33, 3), "New");
}

} // namespace
