#include "FuzzCheck.h"
#include "tags/clsID3.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Loads arbitrary bytes as an MP3 file's tag: the loader must neither crash
// nor take a tag that is not there, its fields must be clean and in their
// widths, and writing a tag back must leave every byte it did not edit.
void fuzzOne(const QByteArray& input) {
    // In memory where there is a memory file system: rewriting a file on disk
    // many thousand times a second would make the disk the bottleneck.
    static const QString memory = QStringLiteral("/dev/shm");
    static QTemporaryDir dir((QDir(memory).exists() ? memory : QDir::tempPath()) +
                             QStringLiteral("/kivo-tag-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("input.mp3"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
        std::abort();
    file.close();

    const bool hasTag = input.size() >= 128 && input.right(128).startsWith("TAG");
    clsID3 tag;
    tag.setFilename(path);
    fuzzCheck(tag.TagFound() == hasTag);
    if (!hasTag)
        return;
    const std::pair<QString, int> fields[] = {
        {tag.Title(), 30}, {tag.Artist(), 30}, {tag.Album(), 30}, {tag.Comment(), 30}, {tag.Year(), 4}};
    for (const auto& [text, width] : fields)
        fuzzCheck(text.size() <= width && !text.contains(QChar(0)));
    fuzzCheck(tag.Genre() >= 0 && tag.Genre() <= 255);

    // Writing back what was loaded changes nothing; editing the title
    // changes only the title's bytes.
    fuzzCheck(tag.SaveTag().isEmpty() && file.open(QIODevice::ReadOnly) && file.readAll() == input);
    file.close();
    if (input.size() > 128) {
        const QString title = tag.Title();
        tag.setTitle(title);
        QByteArray field = title.toLatin1();
        field.append(QByteArray(30 - field.size(), '\0'));
        fuzzCheck(tag.SaveTag().isEmpty() && file.open(QIODevice::ReadOnly) &&
                  file.readAll() == QByteArray(input).replace(input.size() - 128 + 3, 30, field));
    }
}
