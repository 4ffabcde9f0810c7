#include "core/AppState.h"
#include "playlist/AddFiles.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/PlaylistFields.h"
#include "playlist/PlaylistSearch.h"
#include "playlist/Playlists.h"
#include "support/EntryNames.h"
#include <gtest/gtest.h>
#include <random>
// Editing the three playlists and the search box: what each edit does to the lists and the playing index.
using namespace PlaylistEditing;
using namespace PlaylistSearch;
using namespace Qt::StringLiterals;
namespace {
// The three lists ("*": checked), then the playing playlist and index.
QString describe(const Playlists& playlists, const AppState& state) {
    QStringList lists;
    for (int list = 0; list < 3; ++list) {
        QStringList names;
        for (const PlaylistEntry& entry : playlists.at(list).entries())
            names << entry.name + (entry.checked ? "*" : "");
        lists << names.join(' ');
    }
    return lists.join(" | ") + u" @%1/%2"_s.arg(state.playingPlaylist).arg(state.currentEntry);
}
QString flags(const EntryEdit& e) { // as the window reads them
    return u"%1 %2 %3 %4"_s
        .arg(e.selectionUsed ? "used" : "", e.changed ? "changed" : "", e.updateCountLabel ? "count" : "",
             e.hideNameBox ? "hide" : "")
        .simplified();
}
class Editing : public ::testing::Test {
protected:
    void SetUp() override { playlists.setTabCount(3); }
    void fill(PlaylistModel& list, const QString& prefix, int count) { // prefix0, prefix1, ...
        for (int i = 0; i < count; ++i)
            list.append(prefix + QString::number(i), "/music/" + prefix + QString::number(i));
    }
    void play(int list, int index) { state.playingPlaylist = list, state.currentEntry = index; }
    QString world() const { return describe(playlists, state); }
    EntryEdit remove(int at, bool playing = true) { return deleteSelected(playlists, state, playing, at); }
    EntryEdit move(int at, bool playing = true) { return moveSelectedToOther(playlists, state, playing, at); }
    EntryEdit copy(int at) { return copySelectedToOther(playlists, at); }
    Playlists playlists;
    AppState state;
    PlaylistModel& a = playlists.at(Playlists::kA);
    PlaylistModel& b = playlists.at(Playlists::kB);
};
} // namespace
TEST_F(Editing, DeleteKeepsThePlayingEntryDesignatedAndRefusesIt) {
    fill(a, "a", 8);
    play(Playlists::kA, 3);
    EXPECT_EQ(flags(remove(1)), "used changed count"); // before it: the index follows
    EXPECT_EQ(flags(remove(2)), "used");               // the entry playing stays
    EXPECT_EQ(flags(remove(4)), "used changed count"); // after it: the index stays
    EXPECT_EQ(world(), "a0 a2 a3 a4 a6 a7 |  |  @0/2");
    // Another playlist playing, or nothing: the index stays, even the entry at it goes.
    fill(b, "b", 5);
    play(Playlists::kB, 3);
    remove(3);
    playlists.setShown(Playlists::kB);
    remove(3, false);
    remove(0, false);
    EXPECT_EQ(world(), "a0 a2 a3 a6 a7 | b1 b2 b4 |  @1/3");
    EXPECT_EQ(flags(remove(3)) + flags(copy(3)) + flags(move(3)), ""); // none selected (the window sends -1)
    a.removePositions({-3, 1, 1, 3, 2, 99}); // only positions that exist, strictly rising, go
    EXPECT_EQ(entryNames(a), (QStringList{"a0", "a3", "a7"}));
}
TEST_F(Editing, MovingAnEntryCarriesPlaybackOnlyWhenItIsThePlayingOne) {
    fill(a, "a", 7);
    fill(b, "b", 1);
    play(Playlists::kA, 3);
    move(1);        // before it: the index follows
    move(4);        // after it: the index stays
    move(2, false); // stopped: playback stays
    EXPECT_EQ(world(), "a0 a2 a4 a6 | b0 a1 a5 a3 |  @0/2");
    const quint64 moved = a.id(2);
    EXPECT_EQ(flags(move(2)), "used changed hide");
    EXPECT_EQ(world(), "a0 a2 a6 | b0 a1 a5 a3 a4 |  @1/4");
    EXPECT_EQ(b.positionOf(moved), 4); // a moved entry keeps its id
    playlists.setShown(Playlists::kB); // from B, A's index designates no entry of B
    play(Playlists::kA, 1);
    move(1);
    EXPECT_EQ(world(), "a0 a2 a6 a1 | b0 a5 a3 a4 |  @0/1");
    b.setChecked(0, true);
    copy(0); // a copy goes over unchecked, as a new entry; the original keeps its check
    EXPECT_EQ(world(), "a0 a2 a6 a1 b0 | b0* a5 a3 a4 |  @0/1");
    EXPECT_NE(a.id(4), b.id(0));
}
TEST_F(Editing, WholePlaylistButtonsMoveOrCopyAllAndFollowThePlayingEntry) {
    fill(a, "a", 3);
    fill(b, "b", 2);
    a.setChecked(1, true);
    play(Playlists::kA, 1);
    state.playingEntry = a.id(1);
    TabMove tab = moveWholePlaylist(CopyAToB, playlists, state);
    EXPECT_EQ(std::make_pair(tab.done, tab.showTab), std::make_pair(true, int(Playlists::kB)));
    EXPECT_EQ(world(), "a0 a1* a2 | b0 b1 a0 a1 a2 |  @1/3");
    EXPECT_EQ(state.playingEntry, b.id(3)); // the copy plays
    // Moving B, playing, to A: the index grows by A's count, the entries keep their ids.
    const quint64 playing = state.playingEntry;
    EXPECT_EQ(moveWholePlaylist(MoveBToA, playlists, state).showTab, Playlists::kA);
    EXPECT_EQ(world(), "a0 a1* a2 b0 b1 a0 a1 a2 |  |  @0/6");
    EXPECT_EQ(a.id(6), playing);
    tab = moveWholePlaylist(MoveBToA, playlists, state); // an empty source: nothing, not even a tab change
    EXPECT_EQ(std::make_pair(tab.done, tab.showTab), std::make_pair(false, -1));
    EXPECT_FALSE(moveWholePlaylist(4, playlists, state).done || moveWholePlaylist(-1, playlists, state).done);
    // The target playing, a playing device list, or a browser file playing from A: the index stays.
    fill(b, "n", 1);
    moveWholePlaylist(MoveBToA, playlists, state);
    EXPECT_EQ(state.currentEntry, 6);
    play(Playlists::kDevice, 1);
    moveWholePlaylist(MoveAToB, playlists, state);
    moveWholePlaylist(CopyBToA, playlists, state);
    EXPECT_EQ(world(), "a0 a1 a2 b0 b1 a0 a1 a2 n0 | a0 a1 a2 b0 b1 a0 a1 a2 n0 |  @2/1");
    play(Playlists::kA, -1);
    state.playingEntry = 0;
    moveWholePlaylist(CopyAToB, playlists, state);
    EXPECT_EQ(std::make_pair(state.currentEntry, state.playingEntry), std::make_pair(-1, quint64(0)));
}
// Every way an entry reaches a full list (by count, or by the bytes of its saved file) leaves it where it was
// and says so: nothing is lost, no list passes the bound.
TEST_F(Editing, AFullListTakesNothingMoreAndTheSourceKeepsItsEntries) {
    fill(a, "a", 3);
    a.append("a live", "/music/a live");
    for (bool byBytes : {false, true}) {
        b.clear();
        if (byBytes) { // long entries, then one that leaves room for a0's line only
            qint64 left = kMaxPlaylistLineBytes - playlistLineBytes(a.name(0), a.path(0));
            std::vector<PlaylistEntry> big(left / 4005 - 1, {"x", "/" + QString(4000, u'p')});
            left -= qint64(big.size()) * 4005;
            big.push_back({"x", "/" + QString(left - 5, u'p')});
            b.appendEntries(big);
        } else {
            b.appendEntries(std::vector<PlaylistEntry>(kMaxPlaylistEntries - 1, PlaylistEntry{"x", "/x"}));
        }
        play(Playlists::kA, 1);
        EXPECT_TRUE(copy(0).changed); // the last place
        const std::tuple<const char*, bool, bool> grew[] = {
            {"copy", copy(0).changed, copy(0).full},
            {"move", move(1).changed, move(1).full},
            {"move all", moveWholePlaylist(MoveAToB, playlists, state).done,
             moveWholePlaylist(MoveAToB, playlists, state).full},
            {"move search", search(Mode::Move, "live", playlists, state, true, -1).moved > 0,
             search(Mode::Move, "live", playlists, state, true, -1).full},
            {"drop", addDroppedFiles(b, {"/d/x.mp3"}, "*.mp3", {}).appended > 0,
             addDroppedFiles(b, {"/d/x.mp3"}, "*.mp3", {}).full},
        };
        for (const auto& [way, grown, told] : grew)
            EXPECT_TRUE(!grown && told) << way << byBytes;
        EXPECT_EQ(entryNames(a), (QStringList{"a0", "a1", "a2", "a live"}));
        EXPECT_EQ(state.playingPlaylist * 10 + state.currentEntry, 1); // A, entry 1
    }
}
// The search as its procedure reads, one entry at a time: the scan position advances while p <= n (reading
// up to two names past the end), wraps to the top and ends at the second wrap; Move mode removes each match
// where it is and goes on there. A name matches holding the text as a plain substring, both upper-cased.
Result referenceSearch(Mode mode, const QString& text, Playlists& playlists, AppState& state, bool playing,
                       int selected) {
    Result result;
    result.mode = mode;
    PlaylistModel& shown = playlists.shown();
    if (text.isEmpty() || shown.count() < 2) {
        if (!text.isEmpty())
            result.boxText = kWhere;
        return result;
    }
    const int shownIndex = playlists.shownIndex(), otherIndex = Playlists::other(shownIndex);
    PlaylistModel& other = playlists.at(otherIndex);
    for (int p = selected >= 0 ? selected + 1 : 0, passes = 2; passes > 0;) {
        if (!shown.name(p).toUpper().contains(text.toUpper())) {
            p = p <= shown.count() ? p + 1 : 0;
            passes -= p == 0;
            continue;
        }
        if (mode == Mode::Single) {
            result.select = p;
            return result;
        }
        result.lastClick = LastClick{p, shown.name(p), shown.path(p)};
        other.append(shown.name(p), shown.path(p));
        if (playing && p <= state.currentEntry) {
            if (shownIndex == state.playingPlaylist && p == state.currentEntry) {
                state.playingPlaylist = otherIndex;
                state.currentEntry = other.count() - 1;
            }
            if (shownIndex == state.playingPlaylist)
                --state.currentEntry;
        }
        shown.removeAt(p);
        ++result.moved;
        result.updateCountLabel = true;
    }
    result.boxText = mode == Mode::Single ? kNoFind : kSingleText;
    result.mode = Mode::Single;
    return result;
}
// Everything a search leaves behind, ids aside (the reference makes new entries).
QString outcome(const Playlists& playlists, const AppState& state, const Result& r) {
    QString text = u"mode %1 box %2 select %3 moved %4 count %5 "_s.arg(int(r.mode))
                       .arg(r.boxText.value_or("-"))
                       .arg(r.select)
                       .arg(r.moved)
                       .arg(r.updateCountLabel);
    if (r.lastClick)
        text += u"click %1 %2 %3 "_s.arg(r.lastClick->index).arg(r.lastClick->name, r.lastClick->path);
    for (int list = 0; list < 3; ++list)
        for (const PlaylistEntry& e : playlists.at(list).entries())
            text += e.path + " "; // the names and checks are in describe()
    return text + describe(playlists, state);
}
TEST(PlaylistSearchReference, AgreesWithTheOneByOneScanOnRandomPlaylists) {
    const QStringList pieces = {"Live", "live", "LIVE",   "Studio",         "x", "", " ", "mix", "A*B",
                                "E",    "SS",   "Straße", u"Großer ÄRGER"_s};
    const QStringList texts = {"live", "x", "ss", "i", "studio x", "zzz", "ß", "a*", "é", "ärger", ""};
    std::mt19937 random(20240611);
    auto below = [&](qsizetype limit) {
        return static_cast<int>(random() % static_cast<unsigned>(limit));
    };
    for (int round = 0; round < 800; ++round) {
        Playlists fast, slow;
        AppState fastState;
        const int shown = below(3);
        for (Playlists* world : {&fast, &slow}) {
            world->setTabCount(3);
            world->setShown(shown);
        }
        for (int list = 0; list < 3; ++list) {
            for (int i = 0, count = list == shown ? below(24) : below(4); i < count; ++i) {
                const QString first = pieces[below(pieces.size())];
                const QString name = below(2) ? first + " " + pieces[below(pieces.size())] : first;
                const bool check = below(3) == 0;
                for (Playlists* world : {&fast, &slow}) {
                    world->at(list).append(name, u"/m/%1/%2"_s.arg(list).arg(i));
                    world->at(list).setChecked(i, check);
                }
            }
        }
        const int n = fast.at(shown).count();
        const Mode mode = below(4) == 0 ? Mode::Single : Mode::Move;
        const bool playing = below(4) != 0;
        const int selected = below(10) == 0 ? n + 2 : below(n + 1) - 1;
        const QString text = texts[below(texts.size())];
        fastState.playingPlaylist = below(5) == 0 ? below(3) : shown;
        fastState.currentEntry = below(n + 3) - 1;
        AppState slowState = fastState;
        const Result fastResult = search(mode, text, fast, fastState, playing, selected);
        const Result slowResult = referenceSearch(mode, text, slow, slowState, playing, selected);
        ASSERT_EQ(outcome(fast, fastState, fastResult), outcome(slow, slowState, slowResult))
            << "round " << round;
    }
    EXPECT_TRUE(Matcher("").matches(u"abc"_s)); // the search itself never asks with no text
}
