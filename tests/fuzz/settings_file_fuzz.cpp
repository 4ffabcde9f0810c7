#include "FuzzCheck.h"
#include "platform/IniFile.h"
#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>

// Arbitrary bytes as the settings file, then one value changed: the reader
// must give back the file it read byte for byte, the changed value must read
// back as written, and every other value must stay as it was.
//
// The input is the file, a NUL, then the new value (UTF-8); the value's
// length picks the section and key from a few the fuzzer can learn to write.
namespace {

struct Probe {
    const char* section;
    const char* key;
};
constexpr std::array<Probe, 6> kProbes{{{"", "a"},
                                        {"OtherSettings", "EorR"},
                                        {"OtherSettings", "a b"},
                                        {"S", "a"},
                                        {"Presets", "Preset/1"},
                                        {"a b", "%U00E9"}}};

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InputClock clock(data, size);
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nul = input.indexOf('\0');
    const QByteArray fileBytes = nul < 0 ? input : input.left(nul);
    const QString value = nul < 0 ? QString() : QString::fromUtf8(input.mid(nul + 1));

    IniFile file(fileBytes);
    fuzzCheck(file.bytes() == fileBytes);

    std::array<std::optional<QString>, kProbes.size()> before;
    for (size_t i = 0; i < kProbes.size(); ++i)
        before[i] = file.value(text(kProbes[i].section), text(kProbes[i].key));

    const size_t chosen = static_cast<size_t>(value.size()) % kProbes.size();
    const QString section = text(kProbes[chosen].section);
    const QString key = text(kProbes[chosen].key);
    const bool breaks = value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    fuzzCheck(file.setValue(section, key, value) == !breaks);
    if (breaks) {
        fuzzCheck(file.bytes() == fileBytes);
        return 0;
    }

    // What a later start reads from the written file.
    const IniFile reread(file.bytes());
    for (size_t i = 0; i < kProbes.size(); ++i) {
        const auto now = reread.value(text(kProbes[i].section), text(kProbes[i].key));
        if (i == chosen)
            fuzzCheck(now == value);
        else
            fuzzCheck(now == before[i]);
    }
    return 0;
}
