#pragma once
#include "playlist/PlaylistModel.h"
#include <QStringList>

// The display names of a playlist, in order.
inline QStringList entryNames(const PlaylistModel& playlist) {
    QStringList names;
    for (const PlaylistEntry& entry : playlist.entries())
        names << entry.name;
    return names;
}
