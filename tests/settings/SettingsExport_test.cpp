#include "settings/SettingsExport.h"
#include <QList>
#include <gtest/gtest.h>

namespace {
using namespace SettingsExport;

Values defaults() {
    Values v;
    v.caption = QStringLiteral("Kivo Player Options V7.01256");
    for (int i = 0; i < 10; ++i) {
        v.presets[i] = QStringLiteral("/home/ann");
        v.preNames[i] = QString::number(i + 1);
    }
    v.startColour = 12632256;
    v.autoSavePath = QStringLiteral("/home/ann/TempSave.KVPL");
    v.addedExten = QStringLiteral("*.mp3;*.wav");
    v.devicePath = QStringLiteral("/media/ann/");
    v.vidExten = QStringLiteral("*.avi;*.mpg;*.mpeg");
    for (int i = 0; i < 9; ++i)
        v.joystickCodes[i] = -(i + 1);
    return v;
}

TEST(SettingsExportFile, DefaultsAreWrittenLineByLineInTheFileOrder) {
    const QByteArray bytes = write(defaults());
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 1 + 10 + 10 + 12 + 9 + 1); // the last split is after the final CR LF
    EXPECT_EQ(lines.last(), QByteArray());
    EXPECT_EQ(lines[0], "Quelba Kivo Player Settings Export\xC2\xA9Kivo Player Options V7.01256\r");
    EXPECT_EQ(lines[1], "Preset0\xC2\xA9/home/ann\r");
    EXPECT_EQ(lines[20], "PreName9\xC2\xA9"
                         "10\r");
    EXPECT_EQ(lines[21], "OnTop\xC2\xA9 0 \r");
    EXPECT_EQ(lines[22], "ColorToStart\xC2\xA9 12632256 \r");
    EXPECT_EQ(lines[23], "CloseOnFinish\xC2\xA9 0 \r");
    EXPECT_EQ(lines[26], "SOEStartPath\xC2\xA9 0 \r");
    EXPECT_EQ(lines[28], "ShowTabC\xC2\xA9 0 \r");
    EXPECT_EQ(lines[32], "UseJoyStick\xC2\xA9 0 \r");
    EXPECT_EQ(lines[33], "PlayStop\xC2\xA9-1 \r");
    EXPECT_EQ(lines[41], "CopyToOther\xC2\xA9-9 \r");
}

TEST(SettingsExportFile, WhatIsWrittenReadsBackExceptAValueHoldingTheSeparator) {
    Values v = defaults();
    v.preNames[2] = QStringLiteral("Rock © Pop");
    v.devicePath = QStringLiteral(" /media/stick ; x=y ");
    v.useJoystick = true;
    v.joystickCodes[0] = 12;
    const std::vector<Line> lines = read(write(v));
    auto value = [&](const QString& key) -> QString {
        QString found = QStringLiteral("<none>");
        for (const Line& line : lines)
            if (line.key == key)
                found = line.value;
        return found;
    };
    EXPECT_EQ(lines.size(), 1u + 9 + 10 + 12 + 9 - 1); // no header, PreName2 skipped
    EXPECT_EQ(value(QStringLiteral("PRENAME2")), QStringLiteral("<none>"));
    EXPECT_EQ(value(QStringLiteral("DEVICEPATH")), v.devicePath);
    EXPECT_EQ(leadingNumber(value(QStringLiteral("USEJOYSTICK"))), 1);
    EXPECT_EQ(leadingNumber(value(QStringLiteral("PLAYSTOP"))), 12);
    EXPECT_EQ(leadingNumber(value(QStringLiteral("COLORTOSTART"))), 12632256);
}

TEST(SettingsExportFile, AValueHoldingALineBreakIsLeftOutNotReadAsAnotherKey) {
    // Folder names on Linux may hold line breaks; written as they are, the
    // text after the break would import as a key of its own.
    Values v = defaults();
    v.presets[4] = QStringLiteral("/music/new\r\nONTOP\u00A9 1 ");
    v.autoSavePath = QStringLiteral("/lists/a\nb.KVPL");
    v.caption = QStringLiteral("Options\nPRESET0\u00A9/elsewhere");
    v.onTop = 0;
    const QByteArray bytes = write(v);
    EXPECT_TRUE(bytes.startsWith(
        "Quelba Kivo Player Settings Export\xC2\xA9Options\r\nPreset0\xC2\xA9/home/ann\r\n"));
    QStringList keys;
    for (const Line& line : read(bytes)) {
        keys << line.key;
        if (line.key == QLatin1String("ONTOP"))
            EXPECT_EQ(leadingNumber(line.value), 0);
        if (line.key == QLatin1String("PRESET0"))
            EXPECT_EQ(line.value, QStringLiteral("/home/ann"));
    }
    EXPECT_FALSE(keys.contains(QStringLiteral("PRESET4")));
    EXPECT_FALSE(keys.contains(QStringLiteral("AUTOSAVEPATH")));
    EXPECT_EQ(keys.count(QStringLiteral("ONTOP")), 1);
    EXPECT_EQ(keys.count(QStringLiteral("PRESET0")), 1);
    EXPECT_EQ(keys.size(), 41 - 2);
}

TEST(SettingsExportFile, ReaderTakesAnyKeyCaseAnyLineEndAndWindowsFiles) {
    // Windows-1252: 0xA9 is the separator, 0xE9 an e with acute accent.
    const QByteArray windows = "Quelba Kivo Player Settings Export\xA9x\r\n"
                               "preset3\xA9"
                               "D:\\Musique\\\xE9t\xE9\r\n"
                               "Volume\xA9"
                               "5\r\n"
                               "no separator here\r\n"
                               "DevicePath\xA9 E:\\\n"
                               "OnTop\xA9\xA9"
                               "1\r"
                               "Balance\xA9 1 \r\n";
    const std::vector<Line> lines = read(windows);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].key, QStringLiteral("PRESET3"));
    EXPECT_EQ(lines[0].value, QStringLiteral("D:\\Musique\\été"));
    EXPECT_EQ(lines[1].key, QStringLiteral("DEVICEPATH"));
    EXPECT_EQ(lines[1].value, QStringLiteral(" E:\\"));
    EXPECT_TRUE(read("Volume\xC2\xA9"
                     "3\r\nTheme\xC2\xA9"
                     "dark\r\n")
                    .empty());
}

TEST(SettingsExportFile, NumbersAndFileNames) {
    EXPECT_EQ(numberText(1), QStringLiteral(" 1 "));
    EXPECT_EQ(numberText(-3), QStringLiteral("-3 "));
    EXPECT_EQ(numberText(0), QStringLiteral(" 0 "));
    EXPECT_EQ(leadingNumber(u" 12632256 "), 12632256);
    EXPECT_EQ(leadingNumber(u"-5 "), -5);
    EXPECT_EQ(leadingNumber(u"  7 apples"), 7);
    EXPECT_EQ(leadingNumber(u"1.5"), 1.5);
    for (const char16_t* none : {u"", u"   ", u"T", u".", u"-", u"x1"})
        EXPECT_EQ(leadingNumber(none), 0) << QString::fromUtf16(none).toStdString();
    EXPECT_EQ(leadingNumber(u"99999999999999999999999999999999999999999"), 1e41);

    EXPECT_EQ(fileNameFor(QStringLiteral("/home/ann/mine")), QStringLiteral("/home/ann/mine.KVPS"));
    EXPECT_EQ(fileNameFor(QStringLiteral("/home/ann/mine.kvps")), QStringLiteral("/home/ann/mine.kvps"));
    EXPECT_EQ(fileNameFor(QStringLiteral("/home/ann/mine.kvps.txt")),
              QStringLiteral("/home/ann/mine.kvps.txt.KVPS"));
}

} // namespace
