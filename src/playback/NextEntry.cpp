#include "playback/NextEntry.h"
#include "core/AppState.h"
#include "playback/VideoRules.h"
#include "playlist/Playlists.h"
#include <cmath>
#include <vector>

namespace {
// The list's positions as Play sees them with `skip` taken out.
int positionAfterSkip(int shown, int skip) {
    return skip >= 0 && shown >= skip ? shown + 1 : shown;
}
} // namespace

int checkedPosition(const PlaylistModel& list, bool random, const std::function<double()>& draw, int skip) {
    std::vector<int> checked;
    for (int i = 0; i < list.count(); ++i)
        if (i != skip && list.checked(i)) {
            if (!random)
                return i;
            checked.push_back(i);
        }
    if (checked.empty())
        return -1;
    // Nearest index, halves to even: the first and last checked entries come
    // up half as often as the others.
    const double at = draw() * double(checked.size() - 1);
    return checked[static_cast<size_t>(std::nearbyint(at))];
}

int anyPosition(const PlaylistModel& list, bool random, const std::function<double()>& draw, int skip) {
    const int count = list.count() - (skip >= 0 && skip < list.count() ? 1 : 0);
    if (count <= 0)
        return -1;
    const int shown = random ? std::min(count - 1, static_cast<int>(std::floor(count * draw()))) : 0;
    return positionAfterSkip(shown, skip);
}

NextEntry nextAfterEnd(const Playlists& playlists, const AppState& state, const QString& playingPath,
                       bool random, const std::function<double()>& draw) {
    if (state.stopped || state.ignoreEnd || state.playingPlaylist == Playlists::kDevice ||
        playlists.shownIndex() == Playlists::kDevice || isVideoFile(playingPath, state.videoList))
        return {};
    // Where the finished entry is, when the end takes it out of its list.
    int removedFrom = -1, removedAt = -1;
    if (state.playingEntry != 0) {
        const PlaylistModel& list = playlists.at(state.playingPlaylist);
        const int at = list.id(state.currentEntry) == state.playingEntry
                           ? state.currentEntry
                           : list.positionOf(state.playingEntry);
        if (at >= 0 && !list.busy(at))
            removedFrom = state.playingPlaylist, removedAt = at;
    }
    auto countAfter = [&](int playlist) {
        return playlists.at(playlist).count() - (playlist == removedFrom ? 1 : 0);
    };
    int playlist = playlists.shownIndex();
    if (countAfter(playlist) == 0)
        playlist = Playlists::other(playlist);
    if (countAfter(playlist) == 0)
        return {};
    const PlaylistModel& list = playlists.at(playlist);
    const int skip = playlist == removedFrom ? removedAt : -1;
    int k = checkedPosition(list, random, draw, skip);
    if (k < 0)
        k = anyPosition(list, random, draw, skip);
    if (list.name(k).isEmpty() || isVideoFile(list.path(k), state.videoList))
        return {};
    return {playlist, list.id(k), list.path(k)};
}
