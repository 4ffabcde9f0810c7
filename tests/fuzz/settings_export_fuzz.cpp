#include "FuzzCheck.h"
#include "settings/SettingsExport.h"
#include <QMap>

// Two things at once: arbitrary bytes read as a settings export, and the
// same bytes cut at NULs into the texts of an export that is written and read
// back. The reader must act only on known keys, upper-cased, with one-line
// values; a written text must come back exactly, or (when it cannot stand on
// one line) not at all, never as another key's value.
static bool fitsOnOneLine(const QString& value) {
    return !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')) &&
           !value.contains(SettingsExport::kSeparator);
}

void fuzzOne(const QByteArray& input) {
    using namespace SettingsExport;
    const std::vector<Line> lines = read(input);
    fuzzCheck(lines.size() <= static_cast<size_t>(input.count('\n') + input.count('\r') + 1));
    for (const Line& line : lines)
        fuzzCheck(line.key == line.key.toUpper() && fitsOnOneLine(line.value) &&
                  !line.key.contains(kSeparator));

    const QList<QByteArray> pieces = input.split('\0');
    Values values;
    QMap<QString, QString> texts;
    for (int i = 0; i < 10; ++i) {
        values.presets[i] = texts[QStringLiteral("PRESET%1").arg(i)] = QString::fromUtf8(pieces.value(i));
        values.preNames[i] = texts[QStringLiteral("PRENAME%1").arg(i)] =
            QString::fromUtf8(pieces.value(10 + i));
    }
    values.autoSavePath = texts[QStringLiteral("AUTOSAVEPATH")] = QString::fromUtf8(pieces.value(20));
    values.addedExten = texts[QStringLiteral("ADDEDEXTEN")] = QString::fromUtf8(pieces.value(21));
    values.devicePath = texts[QStringLiteral("DEVICEPATH")] = QString::fromUtf8(pieces.value(22));
    values.vidExten = texts[QStringLiteral("VIDEXTEN")] = QString::fromUtf8(pieces.value(23));
    values.caption = QString::fromUtf8(pieces.value(24));
    values.startColour = static_cast<double>(pieces.size()) * 1234.5;
    values.joystickCodes[3] = -static_cast<int>(pieces.size());

    QMap<QString, int> seen;
    for (const Line& line : read(write(values))) {
        fuzzCheck(++seen[line.key] == 1);
        if (texts.contains(line.key))
            fuzzCheck(line.value == texts[line.key]);
        else if (line.key == QLatin1String("COLORTOSTART"))
            fuzzCheck(leadingNumber(line.value) == values.startColour);
        else if (line.key == QLatin1String("SKIP"))
            fuzzCheck(leadingNumber(line.value) == values.joystickCodes[3]);
    }
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        fuzzCheck(seen.contains(it.key()) == fitsOnOneLine(it.value()));
}
