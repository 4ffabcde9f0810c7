#include "playlist/PlaylistEditing.h"

#include "core/AppState.h"
#include "playlist/Playlists.h"
#include <numeric>
#include <vector>

namespace PlaylistEditing {

namespace {

bool designatesEntry(const PlaylistModel& list, int selected) {
    return selected >= 0 && selected < list.count();
}

} // namespace

EntryEdit deleteSelected(Playlists& playlists, AppState& state, bool playing, int selected) {
    EntryEdit edit;
    PlaylistModel& shown = playlists.shown();
    if (!designatesEntry(shown, selected))
        return edit;
    edit.selectionUsed = true;

    const bool onPlayingList = playlists.shownIndex() == state.playingPlaylist;
    if (playing && onPlayingList && selected == state.currentEntry)
        return edit; // the entry playing stays
    if (shown.busy(selected))
        return edit;

    shown.removeAt(selected);
    if (playing && onPlayingList && selected < state.currentEntry)
        --state.currentEntry;
    edit.changed = true;
    edit.updateCountLabel = true;
    return edit;
}

EntryEdit copySelectedToOther(Playlists& playlists, int selected) {
    EntryEdit edit;
    PlaylistModel& shown = playlists.shown();
    PlaylistModel& target = playlists.at(Playlists::other(playlists.shownIndex()));
    if (!designatesEntry(shown, selected))
        return edit;
    edit.full = !target.append(shown.name(selected), shown.path(selected));
    if (edit.full)
        return edit;
    edit.selectionUsed = true;
    edit.changed = true;
    edit.hideNameBox = true;
    return edit;
}

EntryEdit moveSelectedToOther(Playlists& playlists, AppState& state, bool playing, int selected) {
    EntryEdit edit;
    PlaylistModel& shown = playlists.shown();
    if (!designatesEntry(shown, selected))
        return edit;
    if (shown.busy(selected)) {
        edit.selectionUsed = true;
        return edit;
    }
    const int targetIndex = Playlists::other(playlists.shownIndex());
    PlaylistModel& target = playlists.at(targetIndex);
    edit.full = !target.fits(shown.name(selected), shown.path(selected));
    if (edit.full)
        return edit;

    if (playing && playlists.shownIndex() == state.playingPlaylist) {
        if (selected == state.currentEntry) {
            state.playingPlaylist = targetIndex;
            state.currentEntry = target.count();
        } else if (selected < state.currentEntry) {
            --state.currentEntry;
        }
    }
    PlaylistEntries entry;
    entry.records.push_back(shown.entries().records[selected]);
    shown.removeAt(selected);
    target.appendMoved(std::move(entry));

    edit.selectionUsed = true;
    edit.changed = true;
    edit.hideNameBox = true;
    return edit;
}

bool clearShown(Playlists& playlists) {
    PlaylistModel& shown = playlists.shown();
    const int busy = shown.busyPosition();
    if (busy < 0) {
        const bool any = !shown.isEmpty();
        shown.clear();
        return any;
    }
    // Everything but the entry being copied.
    std::vector<int> leaving(static_cast<size_t>(shown.count()));
    std::iota(leaving.begin(), leaving.end(), 0);
    leaving.erase(leaving.begin() + busy);
    shown.removePositions(leaving);
    return !leaving.empty();
}

TabMove moveWholePlaylist(int button, Playlists& playlists, AppState& state) {
    TabMove move;
    if (button < MoveAToB || button > CopyBToA)
        return move;
    const int sourceIndex = (button == MoveAToB || button == CopyAToB) ? Playlists::kA : Playlists::kB;
    const int targetIndex = Playlists::other(sourceIndex);
    PlaylistModel& source = playlists.at(sourceIndex);
    PlaylistModel& target = playlists.at(targetIndex);
    // A whole list goes or none of it.
    move.full = target.fitting(source.entries()) < source.count();
    if (source.isEmpty() || move.full)
        return move;

    const int formerTargetCount = target.count();
    const bool moving = button == MoveAToB || button == MoveBToA;
    if (moving) {
        target.appendMoved(source.entries());
        source.clear();
    } else {
        target.appendEntries(source.entries());
    }

    // Nothing to follow while a browser file plays (no current entry).
    if (state.playingPlaylist == sourceIndex && state.currentEntry >= 0) {
        state.currentEntry += formerTargetCount;
        // After a copy the entry to leave at the end is the copy.
        state.playingEntry = target.id(state.currentEntry);
    }
    if (state.playingPlaylist == Playlists::kA || state.playingPlaylist == Playlists::kB)
        state.playingPlaylist = targetIndex;

    move.done = true;
    move.showTab = targetIndex;
    return move;
}

} // namespace PlaylistEditing
