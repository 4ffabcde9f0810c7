#pragma once
#include <QString>
#include <optional>

// Loudness correction from the ReplayGain tags of the files played: which gain counts, and a pre-amp on top.
// Clipping is always prevented (the gain is lowered where a file's peak would clip).
struct ReplayGain {
    enum Mode { Off, Track, Album };
    Mode mode = Track;
    double preampDb = 0;
    // The pre-amp's range; a stored value outside it is not taken.
    static constexpr double kMaxPreampDb = 15;
    bool operator==(const ReplayGain&) const = default;

    // The stored texts: "off", "track", "album" (any case); nullopt for anything else.
    static std::optional<Mode> modeFrom(const QString& text);
    static QString modeText(Mode mode);
    // A number of dB within the range; nullopt for text that is none, or out of range.
    static std::optional<double> preampFrom(const QString& text);
};
