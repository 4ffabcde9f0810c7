#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The browser's file filter: wildcard patterns joined by ";", such as
// "*.mp3;*.wav". "*" stands for any run of characters, "?" for one; letter
// case is ignored; "*" and "*.*" list every file, even one without a dot.
// Blanks around a pattern are ignored, and so are empty patterns; a list with
// no pattern at all lists nothing.
class PatternList {
public:
    PatternList() = default;
    explicit PatternList(const QString& text);

    const QString& text() const { return text_; }
    bool matchesEverything() const { return everything_; }
    bool matches(QStringView fileName) const;

private:
    QString text_;
    bool everything_ = false;
    std::vector<QString> suffixes_; // "*.ext" patterns, held as ".ext"
    std::vector<QString> others_;   // other patterns, case-folded
};

// One wildcard pattern, already case-folded, against a name: "*" any run of
// characters, "?" one. Time grows with the name's length times the pattern's.
bool wildcardMatches(QStringView foldedPattern, QStringView name);

// The regular files of a folder whose names match, in browser order; an empty
// list when the folder cannot be read.
QStringList listMatchingFiles(const QString& folder, const PatternList& patterns);

// Drops onto a playlist are checked against the pattern list's text, not
// against its wildcards: the extension of the dropped path (from its last
// "." to its end, or ".©©©©©©" when it has no ".") must occur, letter case
// ignored, somewhere in the text. So ".MP3" and ".mp" pass "*.mp3", ".txt"
// does not, and a path whose last "." sits in a folder name does not either
// (its extension holds a separator).
QString dropExtension(const QString& path);
bool dropAccepted(const QString& path, const QString& patternListText);
