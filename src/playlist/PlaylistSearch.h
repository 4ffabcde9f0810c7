#pragma once
#include "playlist/TextView.h"
#include <QColor>
#include <QString>
#include <optional>

class Playlists;
struct AppState;

// The search box above the playlists. It searches the display names of the
// shown playlist for the box's text, upper-cased on both sides, as a plain
// substring. In Single mode a search selects the next match (cycling on
// repeated searches); in Move mode it moves every match to the other playlist
// in one go and the box returns to Single mode. Results are written into the
// box itself, replacing what the user typed.
namespace PlaylistSearch {

enum class Mode { Single, Move };

inline const QString kWhere = QStringLiteral("Where?");
inline const QString kNoFind = QStringLiteral("No Find!");
inline const QString kError = QStringLiteral("ERROR");
inline const QString kSingleText = QStringLiteral("Single");
inline const QString kMoveText = QStringLiteral("Move");

// Box back colours, 0x00BBGGRR.
constexpr unsigned kSingleColourBgr = 0xC0FFC0; // light green
constexpr unsigned kMoveColourBgr = 0xC0C0FF;   // light red

inline Mode toggled(Mode mode) {
    return mode == Mode::Single ? Mode::Move : Mode::Single;
}
inline const QString& modeText(Mode mode) {
    return mode == Mode::Single ? kSingleText : kMoveText;
}
inline unsigned modeColourBgr(Mode mode) {
    return mode == Mode::Single ? kSingleColourBgr : kMoveColourBgr;
}
inline QColor modeColour(Mode mode) {
    const unsigned bgr = modeColourBgr(mode);
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// Whether a display name matches the search text: the upper-cased text occurs
// in the upper-cased name. Upper-cases the text once for many names.
class Matcher {
public:
    explicit Matcher(const QString& text);
    bool matches(TextView name) const;

private:
    template <typename Unit> bool matchesAscii(const Unit* text, qsizetype size) const;
    QString upper_;
    bool upperIsAscii_ = true;
};

// What the entry click left behind for the last entry a Move search took.
struct LastClick {
    int index = -1; // the position it was selected at
    QString name;
    QString path;
    quint64 id = 0; // the entry's id, which it keeps in the other playlist
};

struct Result {
    Mode mode = Mode::Single;       // the mode afterwards
    std::optional<QString> boxText; // the box's new text, when it changes
    // Single mode: the position to select in the shown list; selecting it
    // runs the entry click even when it is the position already selected.
    int select = -1;
    int moved = 0;     // Move mode: entries moved to the other playlist
    bool full = false; // Move mode: matches stayed, the other playlist being full
    std::optional<LastClick> lastClick;
    bool updateCountLabel = false;
};

// "Find" or Enter in the box. "selected" is the shown list's selected
// position, -1 when none: the scan starts after it, so the selected entry is
// looked at last. "playing" is the play state the window knows. Any failure
// gives the box "ERROR"; entries already moved stay moved.
Result search(Mode mode, const QString& text, Playlists& playlists, AppState& state, bool playing,
              int selected);

} // namespace PlaylistSearch
