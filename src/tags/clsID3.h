#pragma once
#include "tags/TagRecordFile.h"
#include <QString>

// The ID3v1 tag of one MP3 file: loaded by naming the file, edited field by
// field in a working copy of the 128-byte record, and written back into the
// tag the file already has. A file without a tag never gets one.
//
// Text is Windows-1252, one byte per character both ways (its five unused
// bytes stand for themselves), so every byte of a field read goes back as it
// was. A version 1.1 tag (a NUL and a track number in the comment's last two
// bytes) keeps its track number: its comment is 28 bytes wide. Every getter
// and setter looks at the disk first: once the named file is gone they answer
// empty text (0 for the genre) and change nothing.
//
// Errors of the file system (no permission, an input/output error, a lock
// held by another program) are not caught here: TagFileError reaches the
// caller.
class clsID3 {
public:
    static constexpr int kTextWidth = 30; // title, artist, album, comment
    static constexpr int kYearWidth = 4;

    // True after a tag was loaded; false after any failed load or save.
    bool TagFound() const { return tagFound_; }
    void setTagFound(bool found) { tagFound_ = found; }

    qint16 Genre() const;
    // Values outside 0..255 are stored as 255.
    void setGenre(qint16 genre);
    QString Comment() const;
    void setComment(const QString& comment);
    QString Album() const;
    void setAlbum(const QString& album);
    QString Title() const;
    void setTitle(const QString& title);
    QString Artist() const;
    void setArtist(const QString& artist);

    // Loads the tag of a file whose name ends in ".mp3" (any case). On any
    // failure the name becomes empty and the fields keep what they held.
    QString Filename() const { return filename_; }
    void setFilename(const QString& path);

    QString Year() const;
    void setYear(const QString& year);

    // Writes the record into the file's tag. Empty text on success and when
    // the file is too short or has no tag; "File not found" or "Wrong file
    // extension. Must be .mp3" for those failures. Any failure ends the hold
    // on the file (empty name, no tag found).
    QString SaveTag();

private:
    bool fileExists() const;
    int commentWidth() const { return trackNumbered_ ? kTextWidth - 2 : kTextWidth; }
    // Cuts or NUL-pads the value to the width, puts it into the record at the
    // offset and stores it as the field's value. A character Windows-1252 has
    // no byte for is written as "?": callers check the text first
    // (charactersWithoutTagBytes) when that matters.
    void setText(int offset, int width, const QString& value, QString& field);
    QString textIfPresent(const QString& field) const;
    void fail();

    bool tagFound_ = false;
    QString filename_;
    QString artist_, title_, album_, comment_;
    qint16 genre_ = 0;
    QString year_;
    bool trackNumbered_ = false; // version 1.1
    TagRecord record_{};
};

// The characters of a text that a tag cannot hold, each once, in order.
QString charactersWithoutTagBytes(const QString& text);

inline const QString kFileNotFound = QStringLiteral("File not found");
inline const QString kWrongExtension = QStringLiteral("Wrong file extension. Must be .mp3");
