#pragma once

class Playlists;
struct AppState;

// Editing the playlists: the keys of a list (Delete, F11, F12), Ctrl+double-
// click, "&Clear All" and the four whole-playlist buttons. Each works on the
// models and on the playing playlist / current entry index of AppState, and
// tells the window what it has to show afterwards.
//
// "playing" is the play state as the window knows it (the Play button hidden).
// "selected" is the shown list's selected position, -1 when none.
//
// The current entry index follows these rules while playing:
// - an entry removed before it in the playing playlist lowers it by 1;
// - an entry removed after it, or from another playlist, changes nothing;
// - the playing entry moved to another playlist makes that playlist the
//   playing one, the index designating the entry there;
// - the playing entry itself cannot be deleted.
//
// The entry being copied to the device (PlaylistModel::busy) is never
// deleted, moved or cleared away.
namespace PlaylistEditing {

struct EntryEdit {
    // The selection designated an entry: the window stores it as the
    // selected index (even when the edit itself was refused).
    bool selectionUsed = false;
    bool changed = false;          // a playlist changed
    bool updateCountLabel = false; // show the shown playlist's new count
    bool hideNameBox = false;
    bool full = false; // refused: the other playlist is full
};

// Delete in a list and Ctrl+double-click on an entry (both follow the same
// rules): removes the selected entry of the shown playlist unless it is the
// entry playing.
EntryEdit deleteSelected(Playlists& playlists, AppState& state, bool playing, int selected);

// F11: appends a copy of the selected entry to the other playlist (A's is B;
// B's and the device list's is A). The count label stays as it is.
EntryEdit copySelectedToOther(Playlists& playlists, int selected);

// F12: moves the selected entry to the end of the other playlist. The count
// label is deliberately left alone.
EntryEdit moveSelectedToOther(Playlists& playlists, AppState& state, bool playing, int selected);

// "&Clear All": empties the shown playlist in one step. Returns whether
// anything was removed; the count label is to be set either way.
bool clearShown(Playlists& playlists);

// The four buttons under the lists.
enum TabMoveButton { MoveAToB = 0, MoveBToA = 1, CopyAToB = 2, CopyBToA = 3 };

struct TabMove {
    bool done = false; // false: source empty or no such button, nothing changed
    int showTab = -1;  // the tab to make current afterwards (the target)
    bool full = false; // refused: the target cannot take the whole list
};

// Appends the whole source playlist to the target in one step (entries
// arrive unchecked), emptying the source for the two Move buttons. A playing
// playlist A or B becomes the target whatever the play state; the index grows
// by the target's former count when the source was playing (and then, after
// a copy, the copy is the entry playing). A playing device list, or a source
// playing a browser file (no current entry), stays as it is.
TabMove moveWholePlaylist(int button, Playlists& playlists, AppState& state);

} // namespace PlaylistEditing
