#include "core/AppState.h"
#include "playlist/PlaylistSearch.h"
#include "playlist/Playlists.h"

#include <gmock/gmock.h>
#include <random>

using namespace PlaylistSearch;
using ::testing::ElementsAre;

namespace {

QString pathOf(const QString& name) {
    return "/music/" + name + ".ogg";
}

void fill(PlaylistModel& list, std::initializer_list<const char*> names) {
    for (const char* name : names)
        list.append(QString::fromUtf8(name), pathOf(QString::fromUtf8(name)));
}

std::vector<QString> names(const PlaylistModel& list) {
    std::vector<QString> out;
    for (const PlaylistEntry& entry : list.entries())
        out.push_back(entry.name);
    return out;
}

class PlaylistSearchTest : public ::testing::Test {
protected:
    void SetUp() override { playlists.setTabCount(3); }

    Result find(Mode mode, const QString& text, int selected, bool playing = false) {
        return search(mode, text, playlists, state, playing, selected);
    }

    Playlists playlists;
    AppState state;
    PlaylistModel& a = playlists.at(Playlists::kA);
    PlaylistModel& b = playlists.at(Playlists::kB);
};

TEST(PlaylistSearchMatch, UpperCasesBothSidesThenLooksForASubstring) {
    const Matcher alp(QStringLiteral("alp"));
    EXPECT_TRUE(alp.matches("ALPHABET"));
    EXPECT_TRUE(alp.matches("The Alps"));
    EXPECT_FALSE(alp.matches("al p"));
    EXPECT_FALSE(alp.matches("al"));
    EXPECT_FALSE(alp.matches(""));

    // Outside ASCII both sides are upper-cased the same way.
    EXPECT_TRUE(Matcher(QString::fromUtf8("ärger")).matches(QString::fromUtf8("Großer ÄRGER")));
    EXPECT_TRUE(Matcher(QStringLiteral("strasse")).matches(QString::fromUtf8("Straße 5")));
    EXPECT_TRUE(Matcher(QString::fromUtf8("straße")).matches(QStringLiteral("STRASSE")));
    EXPECT_FALSE(Matcher(QString::fromUtf8("é")).matches(QStringLiteral("E")));
    // No wildcards.
    EXPECT_FALSE(Matcher(QStringLiteral("a*")).matches("abc"));
    EXPECT_TRUE(Matcher(QStringLiteral("a*")).matches("A*B"));
}

TEST_F(PlaylistSearchTest, SingleModeCyclesThroughTheMatches) {
    fill(a, {"Alpha", "beta", "ALPHABET"});
    Result result = find(Mode::Single, "alp", -1);
    EXPECT_EQ(result.select, 0);
    EXPECT_FALSE(result.boxText);
    result = find(Mode::Single, "alp", result.select);
    EXPECT_EQ(result.select, 2);
    result = find(Mode::Single, "alp", result.select);
    EXPECT_EQ(result.select, 0);
    EXPECT_EQ(result.mode, Mode::Single);

    // The selected entry is looked at last, on the second pass.
    result = find(Mode::Single, "bet", 1);
    EXPECT_EQ(result.select, 2);
    result = find(Mode::Single, "beta", 1);
    EXPECT_EQ(result.select, 1);
}

TEST_F(PlaylistSearchTest, SearchesThatDoNotRunSayWhy) {
    fill(a, {"Live"});
    EXPECT_EQ(find(Mode::Single, "live", -1).boxText, kWhere);
    EXPECT_EQ(find(Mode::Move, "live", -1).boxText, kWhere);
    EXPECT_EQ(find(Mode::Move, "live", -1).mode, Mode::Move);
    EXPECT_EQ(a.count(), 1);

    fill(a, {"Studio"});
    const Result empty = find(Mode::Single, "", -1);
    EXPECT_FALSE(empty.boxText);
    EXPECT_EQ(empty.select, -1);
}

TEST_F(PlaylistSearchTest, TheBoxTextIsWhatTheNextSearchLooksFor) {
    fill(a, {"Take Five", "No Find! (live)", "Blue"});
    const Result missed = find(Mode::Single, "zebra", -1);
    ASSERT_EQ(missed.boxText, kNoFind);
    EXPECT_EQ(missed.select, -1);
    EXPECT_EQ(find(Mode::Single, *missed.boxText, -1).select, 1);
}

TEST_F(PlaylistSearchTest, MoveModeTakesEveryMatchAndReturnsToSingle) {
    fill(a, {"Live 1", "Studio", "live 2"});
    fill(b, {"Old"});
    a.setChecked(0, true);
    a.setChecked(1, true);

    const Result result = find(Mode::Move, "live", -1);
    EXPECT_EQ(result.mode, Mode::Single);
    EXPECT_EQ(result.boxText, kSingleText);
    EXPECT_EQ(result.moved, 2);
    EXPECT_TRUE(result.updateCountLabel);
    EXPECT_THAT(names(a), ElementsAre("Studio"));
    EXPECT_TRUE(a.checked(0));
    EXPECT_THAT(names(b), ElementsAre("Old", "Live 1", "live 2"));
    EXPECT_EQ(b.path(1), pathOf("Live 1"));
    EXPECT_FALSE(b.checked(1));
    // The entry click ran last for "live 2", selected at position 1 then.
    ASSERT_TRUE(result.lastClick);
    EXPECT_EQ(result.lastClick->index, 1);
    EXPECT_EQ(result.lastClick->name, "live 2");
    EXPECT_EQ(result.lastClick->path, pathOf("live 2"));

    // Nothing matching still ends Move mode.
    fill(a, {"Demo"});
    const Result none = find(Mode::Move, "zebra", -1);
    EXPECT_EQ(none.mode, Mode::Single);
    EXPECT_EQ(none.boxText, kSingleText);
    EXPECT_FALSE(none.updateCountLabel || none.lastClick);
}

TEST_F(PlaylistSearchTest, MoveModeTakesTheMatchesBelowTheSelectionFirst) {
    fill(a, {"x1", "y", "x2", "x3", "y"});
    find(Mode::Move, "x", 1);
    EXPECT_THAT(names(b), ElementsAre("x2", "x3", "x1"));
    EXPECT_THAT(names(a), ElementsAre("y", "y"));
}

TEST_F(PlaylistSearchTest, MovingThePlayingEntryCarriesPlaybackAlong) {
    fill(a, {"song 0", "other 1", "song 2", "other 3"});
    fill(b, {"b0", "b1"});
    state.playingPlaylist = Playlists::kA;
    state.currentEntry = 2;

    find(Mode::Move, "song", -1, true);
    EXPECT_EQ(state.playingPlaylist, Playlists::kB);
    EXPECT_EQ(b.name(state.currentEntry), "song 2");
    EXPECT_THAT(names(a), ElementsAre("other 1", "other 3"));
}

TEST_F(PlaylistSearchTest, MovingAroundThePlayingEntryKeepsItDesignated) {
    fill(a, {"m0", "p1", "m2", "PLAYING", "m4", "p5"});
    state.playingPlaylist = Playlists::kA;
    state.currentEntry = 3;
    find(Mode::Move, "m", 1, true);
    EXPECT_EQ(state.playingPlaylist, Playlists::kA);
    EXPECT_EQ(a.name(state.currentEntry), "PLAYING");

    // Stopped: the index stays where it was while entries leave.
    fill(a, {"m6"});
    find(Mode::Move, "m", -1, false);
    EXPECT_THAT(names(a), ElementsAre("p1", "PLAYING", "p5"));
    EXPECT_EQ(state.currentEntry, 1);
}

TEST_F(PlaylistSearchTest, MovingFromAnotherPlaylistLeavesPlaybackAlone) {
    fill(a, {"a0", "a1", "a2"});
    fill(b, {"m0", "m1", "b2"});
    state.playingPlaylist = Playlists::kA;
    state.currentEntry = 1;
    playlists.setShown(Playlists::kB);
    find(Mode::Move, "m", -1, true);
    EXPECT_EQ(state.playingPlaylist, Playlists::kA);
    EXPECT_EQ(state.currentEntry, 1);
    EXPECT_THAT(names(a), ElementsAre("a0", "a1", "a2", "m0", "m1"));

    // The device list's matches go to A.
    fill(playlists.at(Playlists::kDevice), {"d0", "m9"});
    playlists.setShown(Playlists::kDevice);
    find(Mode::Move, "m9", -1, true);
    EXPECT_EQ(a.name(5), "m9");
    EXPECT_THAT(names(playlists.at(Playlists::kDevice)), ElementsAre("d0"));
}

// The search as its procedure reads, one entry at a time: the scan position
// advances while p <= n (reading up to two names past the end), wraps to the
// top and ends at the second wrap; Move mode removes each match where it is
// and goes on at the same position.
Result referenceSearch(Mode mode, const QString& text, Playlists& playlists, AppState& state, bool playing,
                       int selected) {
    Result result;
    result.mode = mode;
    if (text.isEmpty())
        return result;
    PlaylistModel& shown = playlists.shown();
    if (shown.count() < 2) {
        result.boxText = kWhere;
        return result;
    }
    const int shownIndex = playlists.shownIndex();
    const int otherIndex = Playlists::other(shownIndex);
    PlaylistModel& other = playlists.at(otherIndex);
    const QString upper = text.toUpper();
    int passes = 2;
    int p = selected >= 0 ? selected + 1 : 0;
    for (;;) {
        if (shown.name(p).toUpper().contains(upper)) {
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
                shown.removeAt(p);
                if (shownIndex == state.playingPlaylist)
                    --state.currentEntry;
            } else {
                shown.removeAt(p);
            }
            ++result.moved;
            result.updateCountLabel = true;
            continue;
        }
        if (p <= shown.count()) {
            ++p;
        } else {
            p = 0;
            if (--passes == 0)
                break;
        }
    }
    if (mode == Mode::Single) {
        result.boxText = kNoFind;
    } else {
        result.mode = Mode::Single;
        result.boxText = kSingleText;
    }
    return result;
}

struct World {
    Playlists playlists;
    AppState state;
};

void expectSameWorld(const World& fast, const World& slow, const std::string& where) {
    for (int list = 0; list < 3; ++list) {
        const auto& x = fast.playlists.at(list).entries();
        const auto& y = slow.playlists.at(list).entries();
        ASSERT_EQ(x.size(), y.size()) << where << " list " << list;
        for (std::size_t i = 0; i < x.size(); ++i) {
            EXPECT_EQ(x[i].name, y[i].name) << where << " list " << list << " at " << i;
            EXPECT_EQ(x[i].path, y[i].path) << where << " list " << list << " at " << i;
            EXPECT_EQ(x[i].checked, y[i].checked) << where << " list " << list << " at " << i;
        }
    }
    EXPECT_EQ(fast.state.playingPlaylist, slow.state.playingPlaylist) << where;
    EXPECT_EQ(fast.state.currentEntry, slow.state.currentEntry) << where;
}

void expectSameResult(const Result& fast, const Result& slow, const std::string& where) {
    EXPECT_EQ(fast.mode, slow.mode) << where;
    EXPECT_EQ(fast.boxText, slow.boxText) << where;
    EXPECT_EQ(fast.select, slow.select) << where;
    EXPECT_EQ(fast.moved, slow.moved) << where;
    EXPECT_EQ(fast.updateCountLabel, slow.updateCountLabel) << where;
    ASSERT_EQ(fast.lastClick.has_value(), slow.lastClick.has_value()) << where;
    if (fast.lastClick) {
        EXPECT_EQ(fast.lastClick->index, slow.lastClick->index) << where;
        EXPECT_EQ(fast.lastClick->name, slow.lastClick->name) << where;
        EXPECT_EQ(fast.lastClick->path, slow.lastClick->path) << where;
    }
}

TEST(PlaylistSearchReference, AgreesWithTheOneByOneScanOnRandomPlaylists) {
    const std::vector<QString> pieces = {
        "Live", "live", "LIVE", "Studio", "x", "", " ", QString::fromUtf8("Straße"), "SS", "mix"};
    const std::vector<QString> texts = {"live", "x", "ss", "i", "studio x", "zzz", QString::fromUtf8("ß")};
    std::mt19937 random(20240611);
    auto below = [&](int limit) {
        return static_cast<int>(random() % static_cast<unsigned>(limit));
    };

    for (int round = 0; round < 600; ++round) {
        World fast, slow;
        for (World* world : {&fast, &slow})
            world->playlists.setTabCount(3);
        const int shown = below(3);
        for (int list = 0; list < 3; ++list) {
            const int count = list == shown ? below(24) : below(4);
            for (int i = 0; i < count; ++i) {
                QString name = pieces[below(pieces.size())];
                if (below(2))
                    name += " " + pieces[below(pieces.size())];
                const QString path = QStringLiteral("/m/%1/%2").arg(list).arg(i);
                const bool check = below(3) == 0;
                for (World* world : {&fast, &slow}) {
                    world->playlists.at(list).append(name, path);
                    world->playlists.at(list).setChecked(i, check);
                }
            }
        }
        const int n = fast.playlists.at(shown).count();
        const Mode mode = below(4) == 0 ? Mode::Single : Mode::Move;
        const bool playing = below(4) != 0;
        const int selected = below(10) == 0 ? n + 2 : below(n + 1) - 1;
        const QString text = texts[below(texts.size())];
        fast.state.playingPlaylist = below(5) == 0 ? below(3) : shown;
        fast.state.currentEntry = below(n + 3) - 1;
        slow.state = fast.state;
        for (World* world : {&fast, &slow})
            world->playlists.setShown(shown);

        const std::string where = "round " + std::to_string(round);
        const Result fastResult = search(mode, text, fast.playlists, fast.state, playing, selected);
        const Result slowResult = referenceSearch(mode, text, slow.playlists, slow.state, playing, selected);
        expectSameResult(fastResult, slowResult, where);
        expectSameWorld(fast, slow, where);
        if (::testing::Test::HasFailure())
            return;
    }
}

} // namespace
