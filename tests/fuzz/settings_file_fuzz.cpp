#include "FuzzCheck.h"
#include "platform/IniFile.h"
#include <QStringList>
#include <vector>

// Arbitrary bytes as the settings file, then one value changed: the reader
// must give back the file it read byte for byte, the changed value must read
// back as written, and every other value must stay as it was.
//
// The input is the file, a NUL, then the new value (UTF-8); the value's
// length picks the section and key from a few the fuzzer can learn to write.
void fuzzOne(const QByteArray& input) {
    static const QStringList sections{"", "OtherSettings", "OtherSettings", "S", "Presets", "a b"};
    static const QStringList keys{"a", "EorR", "a b", "a", "Preset/1", "%U00E9"};
    const auto [fileBytes, valueBytes] = splitAtNul(input);
    const QString value = QString::fromUtf8(valueBytes);
    IniFile file(fileBytes);
    fuzzCheck(file.bytes() == fileBytes);

    std::vector<std::optional<QString>> before;
    for (qsizetype i = 0; i < keys.size(); ++i)
        before.push_back(file.value(sections[i], keys[i]));
    const qsizetype chosen = value.size() % keys.size();
    const bool breaks = value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    fuzzCheck(file.setValue(sections[chosen], keys[chosen], value) == !breaks);
    if (breaks)
        return fuzzCheck(file.bytes() == fileBytes);

    // What a later start reads from the written file.
    const IniFile reread(file.bytes());
    for (qsizetype i = 0; i < keys.size(); ++i)
        fuzzCheck(reread.value(sections[i], keys[i]) == (i == chosen ? value : before[size_t(i)]));
}
