#include "playlist/PlaylistSearch.h"

#include "core/AppState.h"
#include "playlist/Playlists.h"

#include <algorithm>
#include <vector>

namespace PlaylistSearch {

namespace {

template <typename Unit> bool isAscii(const Unit* text, qsizetype size) {
    char16_t any = 0;
    for (qsizetype i = 0; i < size; ++i)
        any |= char16_t(text[i]);
    return any < 0x80;
}

const char16_t* units(QStringView text) {
    return text.utf16();
}
const char* units(QLatin1StringView text) {
    return text.data();
}

inline char16_t asciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

// The positions a Move search takes, in the order it takes them: the scan
// runs from the start position to the end, wraps to the top and runs to the
// end once more. Nothing it takes comes back, and the entries it passed over
// in the first pass do not match, so the matches from the start position on
// come first, then those above it. The entry being copied to the device stays.
std::vector<int> movingOrder(const PlaylistModel& shown, const Matcher& matcher, int start) {
    const int n = shown.count();
    std::vector<int> order;
    for (int p = start; p < n; ++p)
        if (matcher.matches(shown.nameView(p)) && !shown.busy(p))
            order.push_back(p);
    for (int p = 0; p < start; ++p)
        if (matcher.matches(shown.nameView(p)) && !shown.busy(p))
            order.push_back(p);
    return order;
}

Result searchSingle(const PlaylistModel& shown, const Matcher& matcher, int start) {
    Result result;
    const int n = shown.count();
    // First pass from the start position, second pass from the top up to the
    // selected entry; the rest of the second pass was seen in the first.
    for (int p = start; p < n; ++p)
        if (matcher.matches(shown.nameView(p))) {
            result.select = p;
            return result;
        }
    for (int p = 0; p < start; ++p)
        if (matcher.matches(shown.nameView(p))) {
            result.select = p;
            return result;
        }
    result.boxText = kNoFind;
    return result;
}

Result searchMove(Playlists& playlists, AppState& state, bool playing, const Matcher& matcher, int start) {
    Result result;
    const int shownIndex = playlists.shownIndex();
    const int otherIndex = Playlists::other(shownIndex);
    PlaylistModel& shown = playlists.at(shownIndex);
    PlaylistModel& other = playlists.at(otherIndex);

    std::vector<int> order = movingOrder(shown, matcher, start);
    // The first matches that fit go; the others stay where they are.
    PlaylistRoom room = other.room();
    const auto fit = std::find_if(order.begin(), order.end(), [&](int p) {
        const StoredEntry& entry = shown.entries().records[p];
        return !room.take(entry.text.name(), entry.text.path());
    });
    result.full = fit != order.end();
    order.erase(fit, order.end());

    // Walk the matches as the scan meets them, one at a time, to follow the
    // current entry index. A match's position at that moment is its original
    // one less the matches taken before it above it: in the first pass those
    // are the earlier first-pass matches; in the second pass the first-pass
    // ones all lie below it, so only the earlier second-pass matches count.
    int playingPlaylist = state.playingPlaylist;
    int currentEntry = state.currentEntry;
    const int otherBase = other.count();
    int takenFirstPass = 0, takenSecondPass = 0;
    PlaylistEntries arriving;
    arriving.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int original = order[i];
        const int p = original >= start ? original - takenFirstPass++ : original - takenSecondPass++;
        if (playing && p <= currentEntry) {
            if (shownIndex == playingPlaylist && p == currentEntry) {
                playingPlaylist = otherIndex;
                currentEntry = otherBase + static_cast<int>(i);
            }
            if (shownIndex == playingPlaylist)
                --currentEntry;
        }
        arriving.records.push_back(shown.entries().records[original]);
    }

    std::vector<int> leaving = order;
    std::sort(leaving.begin(), leaving.end());

    std::optional<LastClick> lastClick;
    if (!order.empty()) {
        const PlaylistEntry last = arriving.back();
        const int lastOriginal = order.back();
        const int lastPosition = lastOriginal >= start ? lastOriginal - (takenFirstPass - 1)
                                                       : lastOriginal - (takenSecondPass - 1);
        lastClick = LastClick{lastPosition, last.name, last.path, last.id};
    }

    // Everything that can fail is done; the models change in one step each.
    other.appendMoved(std::move(arriving));
    shown.removePositions(leaving);
    state.playingPlaylist = playingPlaylist;
    state.currentEntry = currentEntry;

    result.moved = static_cast<int>(order.size());
    result.lastClick = std::move(lastClick);
    result.updateCountLabel = !order.empty();
    result.mode = Mode::Single;
    result.boxText = kSingleText;
    return result;
}

} // namespace

Matcher::Matcher(const QString& text) : upper_(text.toUpper()) {
    upperIsAscii_ = isAscii(reinterpret_cast<const char16_t*>(upper_.utf16()), upper_.size());
}

bool Matcher::matches(TextView name) const {
    return name.visit([this, name](auto view) {
        // Upper-casing may change the length outside ASCII ("ß" gives "SS"):
        // such names take the general way.
        if (!isAscii(units(view), view.size()))
            return name.toString().toUpper().contains(upper_);
        return matchesAscii(units(view), view.size());
    });
}

template <typename Unit> bool Matcher::matchesAscii(const Unit* text, qsizetype size) const {
    const qsizetype wanted = upper_.size();
    if (!upperIsAscii_ || size < wanted)
        return false;
    if (wanted == 0)
        return true;
    const char16_t* needle = reinterpret_cast<const char16_t*>(upper_.utf16());
    for (qsizetype at = 0; at + wanted <= size; ++at) {
        if (asciiUpper(text[at]) != needle[0])
            continue;
        qsizetype k = 1;
        while (k < wanted && asciiUpper(text[at + k]) == needle[k])
            ++k;
        if (k == wanted)
            return true;
    }
    return false;
}

Result search(Mode mode, const QString& text, Playlists& playlists, AppState& state, bool playing,
              int selected) {
    Result result;
    result.mode = mode;
    if (text.isEmpty())
        return result;
    const int n = playlists.shown().count();
    if (n < 2) {
        result.boxText = kWhere;
        return result;
    }
    // The selected entry is looked at last. A start at or past the end finds
    // nothing before the first wrap.
    const int start = selected >= 0 ? std::min(selected + 1, n) : 0;
    try {
        const Matcher matcher(text);
        if (mode == Mode::Single)
            return searchSingle(playlists.shown(), matcher, start);
        return searchMove(playlists, state, playing, matcher, start);
    } catch (...) {
        result.boxText = kError;
        return result;
    }
}

} // namespace PlaylistSearch
