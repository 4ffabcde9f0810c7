#include "platform/IniSettingsStore.h"
#include "platform/UserName.h"
#include "support/TempDir.h"
#include <sys/stat.h>
#include <thread>
// Qt and gtest come with the test programs' precompiled headers.

namespace {
using namespace Qt::StringLiterals;

class IniSettingsStoreTest : public ::testing::Test {
protected:
    TempDir config;
    QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    bool configHomeSet = qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    IniSettingsStore alice{u"alice"_s};

    ~IniSettingsStoreTest() override { qputenv("XDG_CONFIG_HOME", savedConfigHome); }
    QString writeFile(const char* login, const QByteArray& bytes) const {
        return config.write(u"Quelba Kivo Player/%1.ini"_s.arg(login), bytes);
    }
};

// Values are kept like registry values: ";", ",", quotes, "@", backslashes and blanks mean nothing.
TEST_F(IniSettingsStoreTest, ValuesReadBackAsTheExactTextWrittenAndLineBreaksAreRefused) {
    const QStringList values = u"*.mp3;*.ogg;*.flac|Rock, Pop|a=b==c|@Variant(\\0\\0)|\"quoted\"|'single'|"
                               "C:\\Music\\|\\\\server\\share|  blanks both sides  |\t|Grüße ✓ 日本 🎵||"
                               "; not a comment|# nor this|[Presets]|%20"_s.split(u'|');
    for (int i = 0; i < values.size(); ++i)
        alice.write("Presets", u"PreName %1"_s.arg(i), values[i]);
    const QByteArray before = readAll(alice.fileName());
    for (const char* value : {"/a\nOn Top=1", "/a\r[Screen]", "\r\n"})
        alice.write("Presets", "PreName 0", value);
    EXPECT_EQ(readAll(alice.fileName()), before);
    EXPECT_TRUE(before.contains("\nPreName%200=*.mp3;*.ogg;*.flac\nPreName%201=Rock, Pop\n"));
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(alice.read("Presets", u"PreName %1"_s.arg(i), "-"), values[i]);
}

TEST_F(IniSettingsStoreTest, OneWriteLeavesEveryOtherLineAsItWasAndTheLastOfTwoKeysCounts) {
    const QByteArray before =
        "; settings of my player\r\n[Screen]\r\nVStayOnTop = 1   \r\n\r\n# presets\r\n"
        "[Presets]\r\nOn%20Top=1\r\nPreset%200=C:\\a;b, c\r\n[JoyStick]\r\nExit=3\r\n; old\r\n"
        "[Presets]\r\nOn Top=0\r\nPreset%201=/b"; // no line end at the very end
    writeFile("ALICE", before);
    // Written by hand: blanks around a value and in a key, a backslash; the section's case counts.
    EXPECT_EQ(alice.read("Screen", "VStayOnTop", {}) + alice.read("Presets", "On Top", {}) +
                  alice.read("Presets", "Preset 0", {}) + alice.read("presets", "On Top", "|"),
              u" 1   0C:\\a;b, c|"_s);

    alice.write("Presets", "On Top", "2");
    const QByteArray expected = QByteArray(before).replace("On Top=0", "On Top=2");
    EXPECT_EQ(readAll(alice.fileName()), expected);
    // A new key goes at the end of its section, a new section at the end of the file, with the file's line
    // end.
    alice.write("Presets", "PreName 0", "y");
    alice.write("OtherSettings", "EorR", "R");
    EXPECT_EQ(readAll(alice.fileName()), expected + "\r\nPreName%200=y\r\n\r\n[OtherSettings]\r\nEorR=R\r\n");
}

// Each line is read as UTF-8 when it is valid UTF-8, else as Windows-1252: a hand-edited line of one garbles
// no other. A line written keeps to Windows-1252 in such a file where that reads back the same, else goes in
// UTF-8; no other line's bytes change.
TEST_F(IniSettingsStoreTest, EachLineIsReadInItsOwnEncodingAndOnlyChangedLinesAreWritten) {
    const QByteArray before = "[P]\r\na=Caf\xE9 \x80\r\nb=\x93q\x94\r\nu=caf\xC3\xA9\r\n";
    writeFile("ALICE", before);
    EXPECT_EQ(alice.read("P", "a", {}) + alice.read("P", "u", {}), u"Café €café"_s);
    alice.write("P", "c", u"Öl"_s);
    EXPECT_EQ(readAll(alice.fileName()), before + "c=\xD6l\r\n");
    alice.write("P", "d", u"日本"_s);
    alice.write("P", "e", u"Ã©"_s); // its Windows-1252 bytes would read as UTF-8
    EXPECT_EQ(readAll(alice.fileName()), before + "c=\xD6l\r\n" + u"d=日本\r\ne=Ã©\r\n"_s.toUtf8());
    EXPECT_EQ(alice.read("P", "e", {}), u"Ã©"_s);
}

// Each login has a file of its own; only a regular file of a settings file's size is read or replaced.
TEST_F(IniSettingsStoreTest, OnlyItsOwnRegularFileOfSettingsSizeIsReadOrReplaced) {
    EXPECT_EQ(alice.fileName(), config.file("Quelba Kivo Player/ALICE.ini"));
    EXPECT_EQ(QStringList({loginNameOrDefault({}), loginNameOrDefault(" "), loginNameOrDefault("bob")}),
              QStringList({"Default", "Default", "bob"}));
    const QByteArray huge = "[Presets]\nOn%20Top=1\n" + QByteArray(IniSettingsStore::kMaxFileBytes, ';');
    writeFile("ERIN", huge);
    config.mkdir("Quelba Kivo Player/CAROL.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(alice.fileName()).constData(), 0600), 0);
    for (const char* login : {"alice", "carol", "erin"}) {
        IniSettingsStore store{QString::fromLatin1(login)};
        store.write("Presets", "On Top", "2");
        EXPECT_EQ(store.read("Presets", "On Top", "0"), "0") << login; // returns: no pipe is waited on
        EXPECT_FALSE(store.writeFailure().isEmpty()) << login;
    }
    EXPECT_TRUE(QFileInfo::exists(alice.fileName()) && !QFileInfo(alice.fileName()).isFile());
    EXPECT_TRUE(QFileInfo(config.file("Quelba Kivo Player/CAROL.ini")).isDir());
    EXPECT_EQ(readAll(config.file("Quelba Kivo Player/ERIN.ini")), huge);
    // Nor is a pipe in place of the lock file waited on.
    IniSettingsStore dave(u"dave"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dave.fileName() + ".lock").constData(), 0600), 0);
    dave.write("Presets", "On Top", "1");
    EXPECT_FALSE(QFile::exists(dave.fileName()) || dave.writeFailure().isEmpty());
    // Nothing is written that the reader would refuse; what lands clears the failure.
    IniSettingsStore frank(u"frank"_s);
    frank.write("P", "a", QString(IniSettingsStore::kMaxFileBytes, u'x'));
    EXPECT_FALSE(QFile::exists(frank.fileName()) || frank.writeFailure().isEmpty());
    frank.write("P", "a", "x");
    EXPECT_TRUE(frank.writeFailure().isEmpty() && frank.read("P", "a", {}) == "x");
}

// Writers at the same time both land; a batch lands in one change, keeping what others wrote meanwhile.
TEST_F(IniSettingsStoreTest, NoWriterLosesAnotherOnesValues) {
    const QStringList sections = {"Presets", "JoyStick"};
    auto writer = [](const QString& section) {
        IniSettingsStore store(u"alice"_s);
        for (int i = 0; i < 15; ++i)
            store.write(section, u"Key %1"_s.arg(i), QString::number(i));
    };
    { const std::jthread first(writer, sections[0]), second(writer, sections[1]); }
    for (const QString& section : sections)
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(alice.read(section, u"Key %1"_s.arg(i), "lost"), QString::number(i));
    EXPECT_EQ(readAll(alice.fileName()).count("[Presets]"), 1);
    EXPECT_FALSE(QFile::exists(alice.fileName() + ".lock"));

    ASSERT_TRUE(QFile::remove(alice.fileName()));
    alice.write("Presets", "On Top", "0");
    {
        const SettingsBatch outer(alice);
        alice.write("Presets", "On Top", "1");
        {
            const SettingsBatch inner(alice);
            alice.write("Presets", "Preset 0", "/music");
            alice.write("Presets", "Preset 1", "/a\nOn Top=0"); // refused as ever
        }
        EXPECT_EQ(readAll(alice.fileName()), QByteArray("[Presets]\nOn%20Top=0\n")); // not before the end
        EXPECT_EQ(alice.read("Presets", "On Top", "-") + alice.read("Presets", "Preset 1", "-"),
                  "1-");                                                 // but seen
        IniSettingsStore(u"alice"_s).write("Screen", "VStayOnTop", "1"); // another player
        alice.write("Presets", "On Top", "2");
    }
    EXPECT_EQ(readAll(alice.fileName()),
              QByteArray("[Presets]\nOn%20Top=2\nPreset%200=/music\n\n[Screen]\nVStayOnTop=1\n"));
    EXPECT_FALSE(alice.writeFailure().isEmpty());                    // the value with a line break
    IniSettingsStore(u"alice"_s).write("Screen", "VStayOnTop", "2"); // read again once changed
    EXPECT_EQ(alice.read("Screen", "VStayOnTop", {}), "2");
}

} // namespace
