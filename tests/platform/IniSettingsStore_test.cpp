#include "platform/IniSettingsStore.h"
#include "platform/UserName.h"
#include "support/TempDir.h"
#include <QFile>
#include <gtest/gtest.h>

TEST(IniSettingsStore, EachLoginHasItsOwnFileUnderTheConfigFolder) {
    TempDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    {
        IniSettingsStore alice(QStringLiteral("alice"));
        IniSettingsStore unknown(loginNameOrDefault(QStringLiteral(" ")));
        EXPECT_EQ(alice.read("Presets", "On Top", "0"), QStringLiteral("0"));
        alice.write("Presets", "On Top", "1");
        alice.write("Presets", "Preset 0", "/home/alice/Music");
        unknown.write("OtherSettings", "EorR", "R");
        EXPECT_EQ(alice.read("Presets", "On Top", "0"), QStringLiteral("1"));
        EXPECT_EQ(unknown.read("Presets", "On Top", "0"), QStringLiteral("0"));
    }
    const QByteArray aliceFile = readAll(config.file("Quelba Kivo Player/ALICE.ini"));
    EXPECT_TRUE(aliceFile.contains("[Presets]"));
    EXPECT_TRUE(aliceFile.contains("Preset%200=/home/alice/Music"));
    EXPECT_TRUE(readAll(config.file("Quelba Kivo Player/DEFAULT.ini")).contains("EorR=R"));
}

TEST(UserName, EmptyOrBlankNamesBecomeDefault) {
    EXPECT_EQ(loginNameOrDefault(QString()), QStringLiteral("Default"));
    EXPECT_EQ(loginNameOrDefault(QStringLiteral(" ")), QStringLiteral("Default"));
    EXPECT_EQ(loginNameOrDefault(QStringLiteral("bob")), QStringLiteral("bob"));
    EXPECT_FALSE(ReadUserName().isEmpty());
}
