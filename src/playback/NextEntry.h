#pragma once
#include <QString>
#include <functional>

class PlaylistModel;
class Playlists;
struct AppState;

// Play's choice within one list, the entry at `skip` left out (-1: none). `draw` gives a number in [0, 1)
// and is called only in random mode, at most once.
// The first checked entry, or with random one of the checked entries; -1 when none is checked.
int checkedPosition(const PlaylistModel& list, bool random, const std::function<double()>& draw,
                    int skip = -1);
// The top entry, or with random any entry; -1 when the list holds nothing else.
int anyPosition(const PlaylistModel& list, bool random, const std::function<double()>& draw, int skip = -1);

// The entry the natural end of the playing track goes on with.
struct NextEntry {
    int playlist = -1;
    quint64 entry = 0; // 0: none
    QString path;
    bool operator==(const NextEntry&) const = default;
};

// What the end of the playing track plays next, when that can follow without a pause: an audio entry of
// playlist A or B, chosen as Play chooses once the finished entry has left its list. None when the end stops
// the player or is to be ignored, when a device-list track or the device tab is involved, when a nameless
// entry would be dropped first, or when the playing or the next file is a video (the video window has to
// follow the change).
NextEntry nextAfterEnd(const Playlists& playlists, const AppState& state, const QString& playingPath,
                       bool random, const std::function<double()>& draw);
