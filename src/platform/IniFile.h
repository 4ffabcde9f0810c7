#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

// An INI file read and changed literally, like registry values: the text
// after the first "=" is the value, exactly (";", ",", quotes, "@",
// backslashes and blanks mean nothing), and changing one value leaves every
// other line, comment and blank line of the file as it was, byte for byte.
//
// Lines end at LF, CR LF or CR. A line "[name]" starts a section; a line
// whose first non-blank is ";" or "#" is a comment. Keys are spelled as
// QSettings writes them ("%20" for a blank, "%XX" for other signs) and are
// compared after decoding, with letter case. When a key stands twice, the
// last one counts. Each line's bytes are UTF-8, or Windows-1252 when they are
// not valid UTF-8.
class IniFile {
public:
    explicit IniFile(QByteArrayView bytes = {});

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Replaces the key's value where it stands, or adds the key at the end of
    // its section, or the section at the end of the file. A value holding a
    // line break cannot be kept on one line: it is refused (false) and the
    // file stays as it was.
    bool setValue(const QString& section, const QString& key, const QString& value);

    QByteArray bytes() const;

    // A key or section name as QSettings spells it in the file.
    static QByteArray encodeKey(const QString& key);
    static QString decodeKey(const QString& spelled);

private:
    enum class Kind { Other, Section, Entry };
    struct Line {
        QByteArray raw; // without its line end
        QByteArray end; // "\n", "\r\n", "\r", or nothing on a last line
        Kind kind = Kind::Other;
        QString section; // the section the line is in (the name, for a Section line)
        QString key;
        QString value;
    };

    static QString text(const Line& line); // its raw bytes, decoded
    void classify(Line& line, const QString& text, QString& section) const;
    Line makeLine(const QString& text, const QString& section) const;
    QByteArray encode(const QString& text) const;

    std::vector<Line> lines_;
    QByteArray bom_;
    bool windows1252_ = false;
    QByteArray lineEnd_; // the file's own, "\n" for a new file
};
