#pragma once
#include <QString>
#include <array>
#include <stdexcept>

// The fixed ID3v1 record at the end of an MP3 file, read and written where it
// lies: the rest of the file is never read, copied or rewritten, so a write
// can neither change the file's length nor harm the audio before the record.

constexpr int kTagRecordSize = 128;
using TagRecord = std::array<char, kTagRecordSize>;

// A file that exists but cannot be read or written (no permission, an
// input/output error, a lock held by another program). The tag object leaves
// these to its caller, who tells the user which file it was and why.
class TagFileError : public std::runtime_error {
public:
    TagFileError(const QString& path, const QString& reason);
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; } // the system's error text
private:
    QString path_, reason_;
};

inline const QString kTagFileLocked = QStringLiteral("Locked by another program");

enum class TailStatus {
    Read,     // the last bytes of the file are in the record
    Missing,  // nothing at the path, or not a regular file
    TooShort, // shorter than a record (or no longer than one, for a write)
};

// Reads the last 128 bytes of a regular file. A file shorter than that gives
// TooShort. Throws TagFileError when the file is there but cannot be read.
TailStatus readTagRecord(const QString& path, TagRecord& record);

enum class TagWriteStatus {
    Written,
    Missing,  // nothing at the path, or not a regular file
    TooShort, // 128 bytes long or shorter
    NoTag,    // the last 128 bytes do not begin with "TAG"
};

// Writes the record over the last 128 bytes of a file longer than 128 bytes
// whose last 128 bytes begin with "TAG"; any other file is left untouched.
// The write happens under an exclusive flock taken without waiting, so a
// program that holds the file locked is never written under. Throws
// TagFileError when such a file cannot be written or is locked.
TagWriteStatus writeTagRecord(const QString& path, const TagRecord& record);

// True when the record begins with the bytes "TAG".
bool startsWithTag(const TagRecord& record);
