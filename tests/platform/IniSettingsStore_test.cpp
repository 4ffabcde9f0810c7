#include "platform/IniSettingsStore.h"
#include "platform/UserName.h"
#include "support/TempDir.h"
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace {

// Each test has its own configuration folder.
class IniSettingsStoreTest : public ::testing::Test {
protected:
    TempDir config;
    QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");

    IniSettingsStoreTest() { qputenv("XDG_CONFIG_HOME", config.path().toUtf8()); }
    ~IniSettingsStoreTest() override { qputenv("XDG_CONFIG_HOME", savedConfigHome); }

    QString aliceFile() const { return config.file("Quelba Kivo Player/ALICE.ini"); }
    QString writeAlice(const QByteArray& bytes) const {
        return config.write("Quelba Kivo Player/ALICE.ini", bytes);
    }
};

TEST_F(IniSettingsStoreTest, EachLoginHasItsOwnFileWrittenInTheUsualSpelling) {
    IniSettingsStore alice(QStringLiteral("alice"));
    IniSettingsStore unknown(loginNameOrDefault(QStringLiteral(" ")));
    EXPECT_EQ(alice.fileName(), aliceFile());
    EXPECT_EQ(alice.read("Presets", "On Top", "0"), QStringLiteral("0"));
    EXPECT_FALSE(QFile::exists(aliceFile())); // reading creates nothing
    alice.write("Presets", "On Top", "1");
    alice.write("Presets", "Preset 0", "/home/alice/Music");
    alice.write("OtherSettings", "EorR", "R");
    alice.write("Presets", "On Top", "0");
    unknown.write("OtherSettings", "EorR", "R");
    EXPECT_EQ(unknown.read("Presets", "On Top", "0"), QStringLiteral("0"));
    EXPECT_EQ(readAll(aliceFile()), QByteArray("[Presets]\n"
                                               "On%20Top=0\n"
                                               "Preset%200=/home/alice/Music\n"
                                               "\n"
                                               "[OtherSettings]\n"
                                               "EorR=R\n"));
    EXPECT_EQ(readAll(config.file("Quelba Kivo Player/DEFAULT.ini")),
              QByteArray("[OtherSettings]\nEorR=R\n"));
}

TEST_F(IniSettingsStoreTest, ValuesReadBackAsTheExactTextWritten) {
    const QStringList values = {"*.mp3;*.ogg;*.flac",
                                "Rock, Pop",
                                "a=b==c",
                                "@Variant(\\0\\0)",
                                "@",
                                "\"quoted\"",
                                "'single'",
                                "C:\\Music\\",
                                "\\\\server\\share",
                                "  blanks both sides  ",
                                "\t",
                                "Grüße ✓ 日本 🎵",
                                "",
                                "; not a comment",
                                "# nor this",
                                "[Presets]",
                                "%20",
                                "\\x41"};
    {
        IniSettingsStore store(QStringLiteral("alice"));
        for (int i = 0; i < values.size(); ++i)
            store.write("Presets", QStringLiteral("PreName %1").arg(i), values[i]);
    }
    IniSettingsStore again(QStringLiteral("alice"));
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.read("Presets", QStringLiteral("PreName %1").arg(i), "missing"), values[i]);
    EXPECT_TRUE(readAll(aliceFile()).contains("\nPreName%200=*.mp3;*.ogg;*.flac\n"));

    // Written by hand, in the spelling of the old program or with a blank in the key.
    writeAlice("[OtherSettings]\nAddedExten=*.mp3;*.ogg;*.flac\n[Presets]\nPreName%200=Rock, Pop\n"
               "Preset 1=/music/a\\b\n");
    EXPECT_EQ(again.read("OtherSettings", "AddedExten", {}), QStringLiteral("*.mp3;*.ogg;*.flac"));
    EXPECT_EQ(again.read("Presets", "PreName 0", {}), QStringLiteral("Rock, Pop"));
    EXPECT_EQ(again.read("Presets", "Preset 1", {}), QStringLiteral("/music/a\\b"));
    EXPECT_EQ(again.read("presets", "PreName 0", "none"), QStringLiteral("none"));
}

TEST_F(IniSettingsStoreTest, OneWriteLeavesEveryOtherLineAsItWas) {
    const QByteArray before = "; settings of my player\r\n"
                              "[Screen]\r\n"
                              "VStayOnTop = 1   \r\n"
                              "\r\n"
                              "# presets follow\r\n"
                              "[Presets]\r\n"
                              "Preset%201=/b\r\n"
                              "On%20Top=0\r\n"
                              "Preset%200=/a\r\n"
                              "; the old one:\r\n"
                              "[JoyStick]\r\n"
                              "Exit=3"; // no line end at the very end
    writeAlice(before);
    IniSettingsStore store(QStringLiteral("alice"));
    EXPECT_EQ(store.read("Screen", "VStayOnTop", {}), QStringLiteral(" 1   "));

    store.write("Presets", "On Top", "1");
    QByteArray expected = before;
    expected.replace("On%20Top=0", "On%20Top=1");
    EXPECT_EQ(readAll(aliceFile()), expected);

    // A new key goes at the end of its section; a new section at the end of the file.
    store.write("Presets", "PreName 0", "x");
    store.write("OtherSettings", "EorR", "R");
    expected.replace("Preset%200=/a\r\n", "Preset%200=/a\r\nPreName%200=x\r\n");
    expected += "\r\n\r\n[OtherSettings]\r\nEorR=R\r\n";
    EXPECT_EQ(readAll(aliceFile()), expected);
    EXPECT_EQ(store.read("JoyStick", "Exit", {}), QStringLiteral("3"));
}

TEST_F(IniSettingsStoreTest, WhereAKeyStandsTwiceTheLastCounts) {
    writeAlice("[Presets]\nOn%20Top=1\n[Screen]\nVStayOnTop=1\n[Presets]\nOn Top=0\n");
    IniSettingsStore store(QStringLiteral("alice"));
    EXPECT_EQ(store.read("Presets", "On Top", {}), QStringLiteral("0"));
    store.write("Presets", "On Top", "2");
    store.write("Presets", "PreName 0", "p");
    EXPECT_EQ(
        readAll(aliceFile()),
        QByteArray("[Presets]\nOn%20Top=1\n[Screen]\nVStayOnTop=1\n[Presets]\nOn Top=2\nPreName%200=p\n"));
}

TEST_F(IniSettingsStoreTest, AWindowsFileIsReadAsWindows1252AndKeptSo) {
    const QByteArray before = "[Presets]\r\nPreName%200=Caf\xE9 \x80\r\nPreName%201=\x93quoted\x94\r\n";
    writeAlice(before);
    IniSettingsStore store(QStringLiteral("alice"));
    EXPECT_EQ(store.read("Presets", "PreName 0", {}), QStringLiteral("Café €"));
    EXPECT_EQ(store.read("Presets", "PreName 1", {}), QStringLiteral("“quoted”"));

    store.write("Presets", "PreName 2", QStringLiteral("Über"));
    EXPECT_EQ(readAll(aliceFile()), before + "PreName%202=\xDC"
                                             "ber\r\n");

    // A text Windows-1252 cannot spell turns the whole file into UTF-8, every value kept.
    store.write("Presets", "PreName 3", QStringLiteral("日本"));
    EXPECT_EQ(readAll(aliceFile()),
              QStringLiteral("[Presets]\r\nPreName%200=Café €\r\nPreName%201=“quoted”\r\n"
                             "PreName%202=Über\r\nPreName%203=日本\r\n")
                  .toUtf8());
}

TEST_F(IniSettingsStoreTest, NoOtherFileIsEverRead) {
    config.write("Quelba Kivo Player.ini", "[Presets]\nOn%20Top=1\n");
    config.write("Quelba Kivo Player/BOB.ini", "[Presets]\nOn%20Top=1\n");
    writeAlice("[Screen]\nVStayOnTop=1\n");
    IniSettingsStore store(QStringLiteral("alice"));
    EXPECT_EQ(store.read("Presets", "On Top", "0"), QStringLiteral("0"));
    store.write("OtherSettings", "EorR", "E");
    EXPECT_FALSE(readAll(aliceFile()).contains("On%20Top"));
}

TEST_F(IniSettingsStoreTest, OnlyARegularFileIsReadOrReplaced) {
    config.mkdir("Quelba Kivo Player");
    ASSERT_EQ(::mkfifo(QFile::encodeName(aliceFile()).constData(), 0600), 0);
    IniSettingsStore store(QStringLiteral("alice"));
    EXPECT_EQ(store.read("Presets", "On Top", "0"), QStringLiteral("0")); // returns, no writer needed
    store.write("Presets", "On Top", "1");
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(aliceFile()).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(store.read("Presets", "On Top", "0"), QStringLiteral("0"));

    IniSettingsStore folder(QStringLiteral("carol"));
    config.mkdir("Quelba Kivo Player/CAROL.ini");
    folder.write("Presets", "On Top", "1");
    EXPECT_EQ(folder.read("Presets", "On Top", "0"), QStringLiteral("0"));
    EXPECT_TRUE(QFileInfo(folder.fileName()).isDir());

    // A file far too large for settings is left alone, whole.
    const QByteArray huge = "[Presets]\nOn%20Top=1\n" + QByteArray(IniSettingsStore::kMaxFileBytes, ';');
    IniSettingsStore large(QStringLiteral("erin"));
    config.write("Quelba Kivo Player/ERIN.ini", huge);
    EXPECT_EQ(large.read("Presets", "On Top", "0"), QStringLiteral("0"));
    large.write("Presets", "On Top", "2");
    EXPECT_EQ(readAll(large.fileName()), huge);

    // Nor is a pipe in place of the lock file waited on.
    IniSettingsStore locked(QStringLiteral("dave"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(locked.fileName() + ".lock").constData(), 0600), 0);
    locked.write("Presets", "On Top", "1");
    EXPECT_FALSE(QFile::exists(locked.fileName()));
}

TEST_F(IniSettingsStoreTest, AValueWithALineBreakIsNotStored) {
    IniSettingsStore store(QStringLiteral("alice"));
    store.write("Presets", "Preset 0", "/music");
    const QByteArray before = readAll(aliceFile());
    for (const char* value : {"/a\nOn Top=1", "/a\r[Screen]", "\r\n"})
        store.write("Presets", "Preset 0", value);
    EXPECT_EQ(readAll(aliceFile()), before);
    EXPECT_EQ(store.read("Presets", "On Top", "0"), QStringLiteral("0"));
}

TEST_F(IniSettingsStoreTest, WritersAtTheSameTimeBothLand) {
    constexpr int kWrites = 15;
    auto writer = [](const QString& section) {
        IniSettingsStore store(QStringLiteral("alice"));
        for (int i = 0; i < kWrites; ++i)
            store.write(section, QStringLiteral("Key %1").arg(i), QString::number(i));
    };
    std::thread first(writer, QStringLiteral("Presets"));
    std::thread second(writer, QStringLiteral("JoyStick"));
    first.join();
    second.join();
    IniSettingsStore store(QStringLiteral("alice"));
    for (const QString& section : {QStringLiteral("Presets"), QStringLiteral("JoyStick")})
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(store.read(section, QStringLiteral("Key %1").arg(i), "lost"), QString::number(i));
    EXPECT_EQ(readAll(aliceFile()).count("[Presets]"), 1);
    EXPECT_FALSE(QFile::exists(aliceFile() + ".lock"));
}

TEST_F(IniSettingsStoreTest, ABatchLandsInOneChangeAndKeepsWhatOthersWroteMeanwhile) {
    IniSettingsStore store(QStringLiteral("alice"));
    store.write("Presets", "On Top", "0");
    {
        const SettingsBatch outer(store);
        store.write("Presets", "On Top", "1");
        {
            const SettingsBatch inner(store);
            store.write("Presets", "Preset 0", "/music");
            store.write("Presets", "Preset 1", "/a\nOn Top=0"); // refused as ever
        }
        EXPECT_EQ(readAll(aliceFile()), QByteArray("[Presets]\nOn%20Top=0\n")); // not before the end
        EXPECT_EQ(store.read("Presets", "On Top", "-"), "1");                   // but seen by reads
        EXPECT_EQ(store.read("Presets", "Preset 1", "-"), "-");
        // Another player writes while the batch is open.
        IniSettingsStore(QStringLiteral("alice")).write("Screen", "VStayOnTop", "1");
        store.write("Presets", "On Top", "2");
    }
    EXPECT_EQ(readAll(aliceFile()), QByteArray("[Presets]\nOn%20Top=2\nPreset%200=/music\n\n"
                                               "[Screen]\nVStayOnTop=1\n"));
    store.write("Presets", "Preset 0", "/films"); // after the batch, writes land at once again
    EXPECT_EQ(IniSettingsStore(QStringLiteral("alice")).read("Presets", "Preset 0", "-"), "/films");
}

} // namespace

TEST(UserName, EmptyOrBlankNamesBecomeDefault) {
    EXPECT_EQ(loginNameOrDefault(QString()), QStringLiteral("Default"));
    EXPECT_EQ(loginNameOrDefault(QStringLiteral(" ")), QStringLiteral("Default"));
    EXPECT_EQ(loginNameOrDefault(QStringLiteral("bob")), QStringLiteral("bob"));
    EXPECT_FALSE(ReadUserName().isEmpty());
}
