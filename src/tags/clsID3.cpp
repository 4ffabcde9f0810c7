#include "tags/clsID3.h"
#include "platform/TextDecoding.h"
#include <QFileInfo>

namespace {

// Offsets in the record.
constexpr int kTitle = 3, kArtist = 33, kAlbum = 63, kYear = 93, kComment = 97, kGenre = 127;
// Version 1.1: a NUL here and a track number in the byte after it.
constexpr int kTrackMark = 125, kTrack = 126;

bool hasMp3Extension(const QString& path) {
    return path.right(4).toUpper() == QLatin1String(".MP3");
}

// A field as found: blanks trimmed from both ends, then every NUL deleted
// (so blanks that stood before NUL padding stay).
QString cleaned(const TagRecord& record, int offset, int width) {
    QString text = fromWindows1252(QByteArrayView(record.data() + offset, width));
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    text = text.mid(first, last - first);
    text.remove(QChar(0));
    return text;
}

// One byte a UTF-16 unit.
QByteArray tagBytes(const QString& text) {
    if (std::optional<QByteArray> bytes = toWindows1252(text))
        return *bytes;
    QByteArray bytes;
    for (QChar c : text)
        bytes += toWindows1252(QString(c)).value_or(QByteArrayLiteral("?"));
    return bytes;
}

} // namespace

QString charactersWithoutTagBytes(const QString& text) {
    QString found;
    for (const uint c : text.toUcs4()) {
        const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        if (!toWindows1252(character) && !found.contains(character))
            found += character;
    }
    return found;
}

bool clsID3::fileExists() const {
    return !filename_.isEmpty() && QFileInfo(filename_).isFile();
}

QString clsID3::textIfPresent(const QString& field) const {
    return fileExists() ? field : QString();
}

void clsID3::fail() {
    tagFound_ = false;
    filename_.clear();
}

void clsID3::setFilename(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile() || !hasMp3Extension(path)) {
        fail();
        return;
    }
    try {
        if (readTagRecord(path, record_) != TailStatus::Read || !startsWithTag(record_)) {
            fail();
            return;
        }
    } catch (const TagFileError&) {
        fail();
        throw;
    }
    title_ = cleaned(record_, kTitle, kTextWidth);
    artist_ = cleaned(record_, kArtist, kTextWidth);
    album_ = cleaned(record_, kAlbum, kTextWidth);
    year_ = cleaned(record_, kYear, kYearWidth);
    trackNumbered_ = record_[kTrackMark] == 0 && record_[kTrack] != 0;
    comment_ = cleaned(record_, kComment, commentWidth());
    genre_ = static_cast<unsigned char>(record_[kGenre]);
    tagFound_ = true;
    filename_ = path;
}

void clsID3::setText(int offset, int width, const QString& value, QString& field) {
    if (!fileExists())
        return;
    QString padded = value.left(width);
    padded.append(QString(width - padded.size(), QChar(0)));
    const QByteArray bytes = tagBytes(padded);
    std::copy(bytes.begin(), bytes.end(), record_.begin() + offset);
    field = padded;
}

qint16 clsID3::Genre() const {
    return fileExists() ? genre_ : 0;
}

void clsID3::setGenre(qint16 genre) {
    if (!fileExists())
        return;
    if (genre < 0 || genre > 255)
        genre = 255;
    record_[kGenre] = static_cast<char>(genre);
    genre_ = genre;
}

QString clsID3::Comment() const {
    return textIfPresent(comment_);
}
void clsID3::setComment(const QString& comment) {
    setText(kComment, commentWidth(), comment, comment_);
}
QString clsID3::Album() const {
    return textIfPresent(album_);
}
void clsID3::setAlbum(const QString& album) {
    setText(kAlbum, kTextWidth, album, album_);
}
QString clsID3::Title() const {
    return textIfPresent(title_);
}
void clsID3::setTitle(const QString& title) {
    setText(kTitle, kTextWidth, title, title_);
}
QString clsID3::Artist() const {
    return textIfPresent(artist_);
}
void clsID3::setArtist(const QString& artist) {
    setText(kArtist, kTextWidth, artist, artist_);
}
QString clsID3::Year() const {
    return textIfPresent(year_);
}
void clsID3::setYear(const QString& year) {
    setText(kYear, kYearWidth, year, year_);
}

QString clsID3::SaveTag() {
    if (!fileExists()) {
        fail();
        return kFileNotFound;
    }
    if (!hasMp3Extension(filename_)) {
        fail();
        return kWrongExtension;
    }
    // Only the record is written, in place: the audio before it is never
    // read or rewritten, and the file keeps its length.
    switch (writeTagRecord(filename_, record_)) {
    case TagWriteStatus::Written:
        return {};
    case TagWriteStatus::Missing:
        fail();
        return kFileNotFound;
    case TagWriteStatus::TooShort:
    case TagWriteStatus::NoTag:
        break;
    }
    fail();
    return {};
}
