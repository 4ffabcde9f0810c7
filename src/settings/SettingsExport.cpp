#include "settings/SettingsExport.h"
#include "platform/TextDecoding.h"
#include <QSet>
#include <cmath>

namespace SettingsExport {

const std::array<QString, 9> kJoystickKeys = {
    QStringLiteral("PlayStop"), QStringLiteral("Exit"),       QStringLiteral("Paws"),
    QStringLiteral("Skip"),     QStringLiteral("BringToTop"), QStringLiteral("Special1"),
    QStringLiteral("Special2"), QStringLiteral("Random"),     QStringLiteral("CopyToOther")};

namespace {

// Where the first CR or LF of a text stands, or -1.
qsizetype firstLineBreak(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n'))
            return i;
    return -1;
}

QString switchText(bool on) {
    return numberText(on ? 1 : 0);
}

// Every key an import knows, upper-cased.
const QSet<QString>& knownKeys() {
    static const QSet<QString> keys = [] {
        QSet<QString> set;
        for (int i = 0; i < 10; ++i) {
            set.insert(QStringLiteral("PRESET%1").arg(i));
            set.insert(QStringLiteral("PRENAME%1").arg(i));
        }
        for (const char* key :
             {"ONTOP", "COLORTOSTART", "CLOSEONFINISH", "SAVEPLAYLISTONEXIT", "AUTOSAVEPATH", "SOESTARTPATH",
              "ADDEDEXTEN", "SHOWTABC", "DEVICEPATH", "DNSTOAATSN", "VIDEXTEN", "USEJOYSTICK"})
            set.insert(QString::fromLatin1(key));
        for (const QString& key : kJoystickKeys)
            set.insert(key.toUpper());
        return set;
    }();
    return keys;
}

} // namespace

QString numberText(double number) {
    QString digits = number == std::floor(number) && std::abs(number) < 1e15
                         ? QString::number(static_cast<qint64>(number))
                         : QString::number(number, 'g', 15);
    if (!digits.startsWith(QLatin1Char('-')))
        digits.prepend(QLatin1Char(' '));
    return digits + QLatin1Char(' ');
}

double leadingNumber(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    const qsizetype digitsFrom = i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
    }
    if (i == digitsFrom || (i == digitsFrom + 1 && text[digitsFrom] == QLatin1Char('.')))
        return 0;
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

QString fileNameFor(const QString& chosen) {
    if (chosen.right(5).toUpper() == QLatin1String(".KVPS"))
        return chosen;
    return chosen + QStringLiteral(".KVPS");
}

QByteArray write(const Values& v) {
    QString text;
    // A value holding a line break (a Linux folder name may) cannot stand on
    // one line: its line is left out, so that an import leaves that setting
    // alone instead of reading the rest of the value as another key.
    auto line = [&text](const QString& key, const QString& value) {
        if (firstLineBreak(value) >= 0)
            return;
        text += key + kSeparator + value + QStringLiteral("\r\n");
    };
    text += kHeaderKey + kSeparator + v.caption.left(firstLineBreak(v.caption)) + QStringLiteral("\r\n");
    for (int i = 0; i < 10; ++i)
        line(QStringLiteral("Preset%1").arg(i), v.presets[i]);
    for (int i = 0; i < 10; ++i)
        line(QStringLiteral("PreName%1").arg(i), v.preNames[i]);
    line(QStringLiteral("OnTop"), numberText(v.onTop));
    line(QStringLiteral("ColorToStart"), numberText(v.startColour));
    line(QStringLiteral("CloseOnFinish"), switchText(v.closeOnFinish));
    line(QStringLiteral("SavePlayListOnExit"), switchText(v.playlistOnExit));
    line(QStringLiteral("AutoSavePath"), v.autoSavePath);
    line(QStringLiteral("SOEStartPath"), numberText(v.soeStartPath));
    line(QStringLiteral("AddedExten"), v.addedExten);
    line(QStringLiteral("ShowTabC"), switchText(v.showTabC));
    line(QStringLiteral("DevicePath"), v.devicePath);
    line(QStringLiteral("DNStoAATSN"), switchText(v.nameConvert));
    line(QStringLiteral("VidExten"), v.vidExten);
    line(QStringLiteral("UseJoyStick"), switchText(v.useJoystick));
    for (int i = 0; i < 9; ++i)
        line(kJoystickKeys[i], numberText(v.joystickCodes[i]));
    return text.toUtf8();
}

std::vector<Line> read(QByteArrayView bytes) {
    const QString text = isValidUtf8(bytes) ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
    std::vector<Line> lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QStringView line = QStringView(text).mid(pos, end - pos);
        pos = end + 1;
        if (end < text.size() && text[end] == QLatin1Char('\r') && pos < text.size() &&
            text[pos] == QLatin1Char('\n'))
            ++pos;
        const qsizetype separator = line.indexOf(kSeparator);
        if (separator < 0 || line.indexOf(kSeparator, separator + 1) >= 0)
            continue;
        const QString key = line.left(separator).toString().toUpper();
        if (!knownKeys().contains(key))
            continue;
        lines.push_back({key, line.mid(separator + 1).toString()});
    }
    return lines;
}

} // namespace SettingsExport
