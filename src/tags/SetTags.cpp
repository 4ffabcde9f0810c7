#include "tags/SetTags.h"
#include "platform/Dialogs.h"
#include "playlist/PlaylistModel.h"
#include "tags/clsID3.h"
#include <QStringList>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The leading number of a text, as far as it reads as one.
double leadingNumber(const QString& text) {
    std::string s;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        if (c.unicode() > 0x7F)
            break;
        s += static_cast<char>(c.unicode());
    }
    std::string number;
    size_t i = 0;
    auto digits = [&] {
        while (i < s.size() && isDigit(s[i]))
            number += s[i++];
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number += s[i++];
    digits();
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        digits();
    }
    // An exponent counts only with at least one digit after its letter and sign.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            number += 'e';
            number.append(s, i + 1, j - i - 1);
            i = j;
            digits();
        }
    }
    if (number.find_first_of("0123456789") == std::string::npos)
        return 0;
    return std::strtod(number.c_str(), nullptr); // HUGE_VAL when too large
}

} // namespace

std::optional<qint16> genreFromText(const QString& text) {
    const double rounded = std::nearbyint(leadingNumber(text)); // default rounding: halves to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

namespace {

// What stops the run before any file is touched: a box holding characters a
// tag cannot hold, or a genre number beyond 16 bits. Empty when nothing does.
QString problemWithTexts(const TagTexts& texts, std::optional<qint16> genre) {
    QStringList boxes;
    for (const auto& [caption, text] :
         {std::pair{"Artist", texts.artist}, {"Album", texts.album}, {"Comment", texts.comment}})
        if (const QString without = charactersWithoutTagBytes(text); !without.isEmpty())
            boxes << QLatin1String(caption) + QStringLiteral(": ") + without;
    if (!boxes.isEmpty())
        return kSetTagsCharacters + u'\n' + boxes.join(u'\n');
    if (!genre)
        return kSetTagsProblem + QStringLiteral("\nGenre: the number is too large");
    return {};
}

// Writes the tag of every entry; the problem that ended the run, or empty.
QString writeEach(const PlaylistModel& playlist, const TagTexts& texts) {
    const int count = playlist.count();
    if (count == 0)
        return {};
    const std::optional<qint16> genre = genreFromText(texts.genre);
    if (QString problem = problemWithTexts(texts, genre); !problem.isEmpty())
        return problem;
    clsID3 tag;
    try {
        for (int i = 0; i < count; ++i) {
            tag.setFilename(playlist.path(i));
            tag.setArtist(texts.artist);
            tag.setAlbum(texts.album);
            tag.setGenre(*genre);
            tag.setComment(texts.comment);
            tag.SaveTag(); // its text is not shown: such entries are passed over
        }
    } catch (const TagFileError& error) {
        return kSetTagsProblem + u'\n' + error.path() + QStringLiteral(": ") + error.reason();
    }
    return {};
}
} // namespace

void setTags(const PlaylistModel& playlist, const TagTexts& texts, Dialogs& dialogs) {
    if (const QString problem = writeEach(playlist, texts); !problem.isEmpty())
        dialogs.message(problem, kSetTagsProblemTitle);
}
