#include "settings/ReplayGain.h"
#include "settings/SettingValue.h"
#include <array>

namespace {
const std::array<QString, 3> kModeTexts = {QStringLiteral("off"), QStringLiteral("track"),
                                           QStringLiteral("album")};
}

std::optional<ReplayGain::Mode> ReplayGain::modeFrom(const QString& text) {
    for (int i = 0; i < int(kModeTexts.size()); ++i)
        if (text.trimmed().compare(kModeTexts[i], Qt::CaseInsensitive) == 0)
            return Mode(i);
    return std::nullopt;
}

QString ReplayGain::modeText(Mode mode) {
    return kModeTexts.at(mode);
}

std::optional<double> ReplayGain::preampFrom(const QString& text) {
    try {
        const double db = SettingValue::toNumber(text);
        // NaN fails both comparisons.
        if (db >= -kMaxPreampDb && db <= kMaxPreampDb)
            return db;
    } catch (const SettingFormatError&) {
    }
    return std::nullopt;
}
