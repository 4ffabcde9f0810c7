#include "core/AppState.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/PlaylistSearch.h"
#include "playlist/Playlists.h"

#include <gmock/gmock.h>

using namespace PlaylistEditing;
using ::testing::ElementsAre;

namespace {

QString pathOf(const QString& name) {
    return "/music/" + name + ".mp3";
}

void fill(PlaylistModel& list, const QString& prefix, int count) {
    for (int i = 0; i < count; ++i)
        list.append(prefix + QString::number(i), pathOf(prefix + QString::number(i)));
}

std::vector<QString> names(const PlaylistModel& list) {
    std::vector<QString> out;
    for (const PlaylistEntry& entry : list.entries())
        out.push_back(entry.name);
    return out;
}

class PlaylistEditingTest : public ::testing::Test {
protected:
    void SetUp() override { playlists.setTabCount(3); }

    // Playback runs from `list` at `index`.
    void play(int list, int index) {
        state.playingPlaylist = list;
        state.currentEntry = index;
    }
    QString playingPath() const { return playlists.at(state.playingPlaylist).path(state.currentEntry); }

    Playlists playlists;
    AppState state;
};

TEST_F(PlaylistEditingTest, DeleteOnThePlayingPlaylistKeepsThePlayingEntryDesignated) {
    fill(playlists.at(Playlists::kA), "a", 8);
    play(Playlists::kA, 3);

    // Before the playing entry: the index follows the entry down.
    EntryEdit edit = deleteSelected(playlists, state, true, 1);
    EXPECT_TRUE(edit.selectionUsed && edit.changed && edit.updateCountLabel);
    EXPECT_EQ(state.currentEntry, 2);
    EXPECT_EQ(playingPath(), pathOf("a3"));

    // The playing entry itself is refused, though the selection is still taken.
    edit = deleteSelected(playlists, state, true, 2);
    EXPECT_TRUE(edit.selectionUsed);
    EXPECT_FALSE(edit.changed || edit.updateCountLabel);
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 7);
    EXPECT_EQ(playingPath(), pathOf("a3"));

    // After it: removed, index unchanged.
    edit = deleteSelected(playlists, state, true, 4);
    EXPECT_TRUE(edit.changed);
    EXPECT_EQ(state.currentEntry, 2);
    EXPECT_THAT(names(playlists.at(Playlists::kA)), ElementsAre("a0", "a2", "a3", "a4", "a6", "a7"));
}

TEST_F(PlaylistEditingTest, DeleteElsewhereOrWhileStoppedLeavesTheIndexAlone) {
    fill(playlists.at(Playlists::kA), "a", 5);
    fill(playlists.at(Playlists::kB), "b", 5);

    // B plays entry 3; A is shown: its entries before and at position 3 go.
    play(Playlists::kB, 3);
    deleteSelected(playlists, state, true, 3);
    deleteSelected(playlists, state, true, 0);
    EXPECT_THAT(names(playlists.at(Playlists::kA)), ElementsAre("a1", "a2", "a4"));
    EXPECT_EQ(state.playingPlaylist, Playlists::kB);
    EXPECT_EQ(state.currentEntry, 3);

    // Nothing playing: even the entry at the index goes, and the index stays.
    playlists.setShown(Playlists::kB);
    deleteSelected(playlists, state, false, 3);
    deleteSelected(playlists, state, false, 0);
    EXPECT_THAT(names(playlists.at(Playlists::kB)), ElementsAre("b1", "b2", "b4"));
    EXPECT_EQ(state.currentEntry, 3);
}

TEST_F(PlaylistEditingTest, KeysWithoutAnEntrySelectedDoNothing) {
    fill(playlists.at(Playlists::kA), "a", 3);
    play(Playlists::kA, 1);
    for (int selected : {-1, 3, 99}) {
        for (const EntryEdit& edit :
             {deleteSelected(playlists, state, true, selected), copySelectedToOther(playlists, selected),
              moveSelectedToOther(playlists, state, true, selected)}) {
            EXPECT_FALSE(edit.selectionUsed || edit.changed || edit.hideNameBox) << selected;
        }
    }
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 3);
    EXPECT_TRUE(playlists.at(Playlists::kB).isEmpty());
    EXPECT_EQ(state.currentEntry, 1);

    // An empty shown playlist, the playing entry "at" index 0.
    playlists.setShown(Playlists::kB);
    play(Playlists::kB, 0);
    EXPECT_FALSE(moveSelectedToOther(playlists, state, true, 0).changed);
    EXPECT_FALSE(deleteSelected(playlists, state, true, 0).changed);
    EXPECT_EQ(state.playingPlaylist, Playlists::kB);
}

TEST_F(PlaylistEditingTest, MovingThePlayingEntryMakesTheTargetPlay) {
    fill(playlists.at(Playlists::kA), "a", 5);
    fill(playlists.at(Playlists::kB), "b", 4);
    play(Playlists::kA, 2);

    const EntryEdit edit = moveSelectedToOther(playlists, state, true, 2);
    EXPECT_TRUE(edit.hideNameBox && edit.changed);
    EXPECT_FALSE(edit.updateCountLabel);
    EXPECT_EQ(state.playingPlaylist, Playlists::kB);
    EXPECT_EQ(state.currentEntry, 4);
    EXPECT_EQ(playingPath(), pathOf("a2"));
    EXPECT_THAT(names(playlists.at(Playlists::kA)), ElementsAre("a0", "a1", "a3", "a4"));
}

TEST_F(PlaylistEditingTest, MovingOtherEntriesFollowsTheRemovalRules) {
    fill(playlists.at(Playlists::kA), "a", 6);
    play(Playlists::kA, 3);

    moveSelectedToOther(playlists, state, true, 1); // before: down by one
    EXPECT_EQ(state.currentEntry, 2);
    moveSelectedToOther(playlists, state, true, 4); // after: unchanged
    EXPECT_EQ(state.currentEntry, 2);
    EXPECT_EQ(playingPath(), pathOf("a3"));

    // Stopped: moving the entry at the index does not carry playback along.
    moveSelectedToOther(playlists, state, false, 2);
    moveSelectedToOther(playlists, state, false, 0);
    EXPECT_EQ(state.playingPlaylist, Playlists::kA);
    EXPECT_EQ(state.currentEntry, 2);
    EXPECT_THAT(names(playlists.at(Playlists::kB)), ElementsAre("a1", "a5", "a3", "a0"));

    // From B, the entry at the index of playing A's goes without effect.
    playlists.setShown(Playlists::kB);
    moveSelectedToOther(playlists, state, true, 0);
    EXPECT_EQ(state.playingPlaylist, Playlists::kA);
    EXPECT_EQ(state.currentEntry, 2);
    EXPECT_THAT(names(playlists.at(Playlists::kA)), ElementsAre("a2", "a4", "a1"));
}

TEST_F(PlaylistEditingTest, CopyingAnEntryGoesToTheOtherPlaylistUnchecked) {
    fill(playlists.at(Playlists::kDevice), "c", 3);
    fill(playlists.at(Playlists::kB), "b", 2);
    playlists.at(Playlists::kDevice).setChecked(1, true);
    playlists.at(Playlists::kB).setChecked(0, true);
    play(Playlists::kDevice, 1);

    // The device list's other playlist is A.
    playlists.setShown(Playlists::kDevice);
    const EntryEdit edit = copySelectedToOther(playlists, 1);
    EXPECT_TRUE(edit.hideNameBox);
    EXPECT_FALSE(edit.updateCountLabel);
    ASSERT_EQ(playlists.at(Playlists::kA).count(), 1);
    EXPECT_EQ(playlists.at(Playlists::kA).path(0), pathOf("c1"));
    EXPECT_FALSE(playlists.at(Playlists::kA).checked(0));
    EXPECT_EQ(playlists.at(Playlists::kDevice).count(), 3);
    EXPECT_EQ(state.playingPlaylist, Playlists::kDevice);
    EXPECT_EQ(state.currentEntry, 1);

    // B's other playlist is A as well; A's is B.
    playlists.setShown(Playlists::kB);
    copySelectedToOther(playlists, 0);
    playlists.setShown(Playlists::kA);
    copySelectedToOther(playlists, 1);
    EXPECT_THAT(names(playlists.at(Playlists::kA)), ElementsAre("c1", "b0"));
    EXPECT_FALSE(playlists.at(Playlists::kA).checked(1));
    EXPECT_THAT(names(playlists.at(Playlists::kB)), ElementsAre("b0", "b1", "b0"));
}

TEST_F(PlaylistEditingTest, ClearAllEmptiesTheShownPlaylistInOneChange) {
    fill(playlists.at(Playlists::kA), "a", 3);
    fill(playlists.at(Playlists::kB), "b", 1000);
    play(Playlists::kB, 500);
    playlists.setShown(Playlists::kB);

    int countChanges = 0;
    QObject::connect(&playlists.at(Playlists::kB), &PlaylistModel::countChanged, [&] { ++countChanges; });
    EXPECT_TRUE(clearShown(playlists));
    EXPECT_EQ(countChanges, 1);
    EXPECT_TRUE(playlists.at(Playlists::kB).isEmpty());
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 3);
    EXPECT_EQ(state.currentEntry, 500);
    EXPECT_FALSE(clearShown(playlists));
}

TEST_F(PlaylistEditingTest, CopyingAWholePlaylistFollowsThePlayingEntry) {
    fill(playlists.at(Playlists::kA), "a", 6);
    fill(playlists.at(Playlists::kB), "b", 10);
    playlists.at(Playlists::kA).setChecked(4, true);
    play(Playlists::kA, 4);

    int insertions = 0;
    QObject::connect(&playlists.at(Playlists::kB), &QAbstractItemModel::rowsInserted, [&] { ++insertions; });
    const TabMove move = moveWholePlaylist(CopyAToB, playlists, state);
    EXPECT_TRUE(move.done);
    EXPECT_EQ(move.showTab, Playlists::kB);
    EXPECT_EQ(insertions, 1);
    EXPECT_EQ(state.playingPlaylist, Playlists::kB);
    EXPECT_EQ(state.currentEntry, 14);
    EXPECT_EQ(playingPath(), pathOf("a4"));
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 6);
    EXPECT_TRUE(playlists.at(Playlists::kA).checked(4));
    EXPECT_EQ(playlists.at(Playlists::kB).count(), 16);
    for (int i = 0; i < playlists.at(Playlists::kB).count(); ++i)
        EXPECT_FALSE(playlists.at(Playlists::kB).checked(i)) << i;
}

TEST_F(PlaylistEditingTest, MovingAWholePlaylistEmptiesTheSource) {
    fill(playlists.at(Playlists::kA), "a", 2);
    fill(playlists.at(Playlists::kB), "b", 3);
    play(Playlists::kB, 1);

    // B plays (or played: the play state is not looked at) and is the source.
    TabMove move = moveWholePlaylist(MoveBToA, playlists, state);
    EXPECT_EQ(move.showTab, Playlists::kA);
    EXPECT_TRUE(playlists.at(Playlists::kB).isEmpty());
    EXPECT_THAT(names(playlists.at(Playlists::kA)), ElementsAre("a0", "a1", "b0", "b1", "b2"));
    EXPECT_EQ(state.playingPlaylist, Playlists::kA);
    EXPECT_EQ(state.currentEntry, 3);

    // The playing playlist is the target: it stays the target, index unchanged.
    fill(playlists.at(Playlists::kB), "n", 2);
    move = moveWholePlaylist(MoveBToA, playlists, state);
    EXPECT_TRUE(move.done);
    EXPECT_EQ(state.playingPlaylist, Playlists::kA);
    EXPECT_EQ(state.currentEntry, 3);
    EXPECT_EQ(playingPath(), pathOf("b1"));

    // An empty source does nothing at all, not even a tab change.
    move = moveWholePlaylist(MoveBToA, playlists, state);
    EXPECT_FALSE(move.done);
    EXPECT_EQ(move.showTab, -1);
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 7);
}

TEST_F(PlaylistEditingTest, APlayingDeviceListIsLeftAloneByTheWholePlaylistButtons) {
    fill(playlists.at(Playlists::kA), "a", 2);
    fill(playlists.at(Playlists::kB), "b", 2);
    play(Playlists::kDevice, 1);
    for (int button : {CopyAToB, CopyBToA, MoveAToB}) {
        const TabMove move = moveWholePlaylist(button, playlists, state);
        EXPECT_TRUE(move.done) << button;
        EXPECT_EQ(state.playingPlaylist, Playlists::kDevice);
        EXPECT_EQ(state.currentEntry, 1);
    }
    EXPECT_THAT(names(playlists.at(Playlists::kA)), ElementsAre());
    EXPECT_THAT(names(playlists.at(Playlists::kB)),
                ElementsAre("b0", "b1", "a0", "a1", "a0", "a1", "b0", "b1", "a0", "a1"));
    EXPECT_FALSE(moveWholePlaylist(4, playlists, state).done);
    EXPECT_FALSE(moveWholePlaylist(-1, playlists, state).done);
}

// The entry playing is followed by its id: moves keep it, copies are new
// entries, and after a whole-playlist copy the copy is the one playing.
TEST_F(PlaylistEditingTest, EntryIdsSurviveMovesButNotCopies) {
    PlaylistModel& a = playlists.at(Playlists::kA);
    PlaylistModel& b = playlists.at(Playlists::kB);
    fill(a, "a", 3);
    fill(b, "b", 2);
    EXPECT_NE(a.id(0), 0u);
    EXPECT_NE(a.id(0), a.id(1));
    EXPECT_EQ(a.id(3), 0u);
    EXPECT_EQ(a.positionOf(0), -1);

    const quint64 a1 = a.id(1);
    moveSelectedToOther(playlists, state, true, 1); // F12
    EXPECT_EQ(b.positionOf(a1), 2);
    EXPECT_EQ(a.positionOf(a1), -1);
    copySelectedToOther(playlists, 0); // F11: a new entry
    EXPECT_EQ(b.positionOf(a.id(0)), -1);

    play(Playlists::kA, 1);
    state.playingEntry = a.id(1);
    const quint64 a2 = a.id(1);
    moveWholePlaylist(CopyAToB, playlists, state);
    EXPECT_EQ(state.playingPlaylist, Playlists::kB);
    EXPECT_EQ(b.name(state.currentEntry), "a2");
    EXPECT_EQ(state.playingEntry, b.id(state.currentEntry));
    EXPECT_NE(state.playingEntry, a2);
    const quint64 copy = state.playingEntry;
    moveWholePlaylist(MoveBToA, playlists, state);
    EXPECT_EQ(a.id(state.currentEntry), copy);
}

TEST_F(PlaylistEditingTest, WholePlaylistButtonsFollowNoEntryWhileABrowserFilePlays) {
    fill(playlists.at(Playlists::kA), "a", 2);
    fill(playlists.at(Playlists::kB), "b", 3);
    play(Playlists::kA, -1);
    moveWholePlaylist(CopyAToB, playlists, state);
    EXPECT_EQ(state.currentEntry, -1);
    EXPECT_EQ(state.playingEntry, 0u);
}

} // namespace

namespace {

// Every way an entry reaches a full list leaves it where it was; nothing is
// lost and no list passes the bound a playlist file is read back with.
TEST_F(PlaylistEditingTest, AFullListTakesNothingMoreAndTheSourceKeepsItsEntries) {
    PlaylistModel& a = playlists.at(Playlists::kA);
    PlaylistModel& b = playlists.at(Playlists::kB);
    b.appendEntries(std::vector<PlaylistEntry>(kMaxPlaylistEntries - 1, PlaylistEntry{"x", "/x", false}));
    fill(a, "a", 3);
    a.append("a live", pathOf("a live"));
    play(Playlists::kA, 1);

    EXPECT_TRUE(copySelectedToOther(playlists, 0).changed); // the last place
    EXPECT_EQ(b.count(), kMaxPlaylistEntries);
    EXPECT_FALSE(copySelectedToOther(playlists, 0).changed);
    EXPECT_FALSE(moveSelectedToOther(playlists, state, true, 1).changed);
    EXPECT_FALSE(moveWholePlaylist(MoveAToB, playlists, state).done);
    EXPECT_FALSE(moveWholePlaylist(CopyAToB, playlists, state).done);
    const PlaylistSearch::Result found =
        PlaylistSearch::search(PlaylistSearch::Mode::Move, "live", playlists, state, true, -1);
    EXPECT_EQ(found.moved, 0);
    EXPECT_THAT(names(a), ElementsAre("a0", "a1", "a2", "a live"));
    EXPECT_EQ(playingPath(), pathOf("a1"));
    EXPECT_EQ(b.count(), kMaxPlaylistEntries);
    EXPECT_EQ(b.room(), 0);

    // With room for one, a Move search takes the first match only.
    b.removeAt(0);
    a.append("b live", pathOf("b live"));
    PlaylistSearch::search(PlaylistSearch::Mode::Move, "live", playlists, state, true, -1);
    EXPECT_THAT(names(a), ElementsAre("a0", "a1", "a2", "b live"));
    EXPECT_EQ(b.name(b.count() - 1), "a live");
}

} // namespace
