#pragma once
#include <QString>
#include <optional>

class Dialogs;
class PlaylistModel;

// What the "MP3 Tag" tab of the options window writes into every tag.
struct TagTexts {
    QString artist;
    QString album;
    QString genre; // read from its start as a number: "12 Blues" is 12
    QString comment;
};

inline const QString kSetTagsProblem = QStringLiteral("Problem! Check files");
inline const QString kSetTagsProblemTitle = QStringLiteral("Problem");
inline const QString kSetTagsCharacters =
    QStringLiteral("Problem! A tag cannot hold these characters, so no file was changed:");

// "Set Tags": writes the artist, album, genre and comment into the ID3v1 tag
// of every file of the playlist (playlist B), first to last. Entries that
// are missing, not .mp3 files, too short or without a tag are passed over
// quietly; title and year stay as they were. Boxes holding characters a tag
// cannot hold, or a genre number beyond 16 bits, stop the run before any file
// is touched. The first file that cannot be read, written or locked ends the
// run with a message naming it and the reason; files written before it stay
// written.
void setTags(const PlaylistModel& playlist, const TagTexts& texts, Dialogs& dialogs);

// The genre number a text starts with: blanks, tabs and line feeds are
// skipped, then a signed decimal number (with a fraction and an exponent) is
// read as far as it goes, 0 when there is none, and rounded to a whole number
// with halves to the even one. Nothing when that number does not fit 16 bits.
std::optional<qint16> genreFromText(const QString& text);
