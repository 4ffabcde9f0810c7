#include "playback/TimeConvert.h"
#include <cmath>
#include <limits>

long long wholeSeconds(double seconds) {
    if (!std::isfinite(seconds))
        return 0;
    return std::llrint(seconds); // the default rounding mode: halves to even
}

QString TimeConvert(double seconds) {
    // Far beyond any track (about 292 billion years) a whole second no longer fits.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 9.0e15)
        return QStringLiteral("--:--:--Err");
    const long long s = wholeSeconds(seconds);
    long long minutes = 0, rest = s;
    if (s >= 60) {
        minutes = s / 60;
        rest = s - 60 * minutes;
    }
    // A negative rest (remaining time past the end) keeps its sign, as it always has.
    return QString::number(minutes) + (rest <= 9 ? QStringLiteral(":0") : QStringLiteral(":")) +
           QString::number(rest);
}
