#include "playback/VideoRules.h"

bool isVideoFile(const QString& path, const QString& videoList) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    return videoList.contains(path.mid(dot), Qt::CaseInsensitive);
}
