#include "tags/clsID3.h"
#include <QFileInfo>

namespace {

// Offsets in the record.
constexpr int kTitle = 3, kArtist = 33, kAlbum = 63, kYear = 93, kComment = 97, kGenre = 127;

bool hasMp3Extension(const QString& path) {
    return path.right(4).toUpper() == QLatin1String(".MP3");
}

// A field as found: blanks trimmed from both ends, then every NUL deleted
// (so blanks that stood before NUL padding stay).
QString cleaned(const TagRecord& record, int offset, int width) {
    QString text = QString::fromLatin1(record.data() + offset, width);
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    text = text.mid(first, last - first);
    text.remove(QChar(0));
    return text;
}

} // namespace

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
    comment_ = cleaned(record_, kComment, kTextWidth);
    genre_ = static_cast<unsigned char>(record_[kGenre]);
    tagFound_ = true;
    filename_ = path;
}

void clsID3::setText(int offset, int width, const QString& value, QString& field) {
    if (!fileExists())
        return;
    QString padded = value.left(width);
    padded.append(QString(width - padded.size(), QChar(0)));
    // One byte per UTF-16 unit; what ISO-8859-1 cannot hold becomes "?".
    const QByteArray bytes = padded.toLatin1();
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
    setText(kComment, kTextWidth, comment, comment_);
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
