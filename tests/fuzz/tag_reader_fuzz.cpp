#include "FuzzCheck.h"
#include "tags/clsID3.h"
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Loads arbitrary bytes as an MP3 file's tag: the loader must neither crash
// nor take a tag that is not there, its fields must be clean and in their
// widths, and writing a tag back must leave every byte it did not edit.
namespace {

// In memory where there is a memory file system: rewriting a file on disk
// many thousand times a second would make the disk the bottleneck.
QString inputPath() {
    const QString memory = QStringLiteral("/dev/shm");
    static QTemporaryDir dir((QDir(memory).exists() ? memory : QDir::tempPath()) +
                             QStringLiteral("/kivo-tag-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("input.mp3"));
    return path;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InputClock clock(data, size);
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = inputPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
            std::abort();
    }
    const bool hasTag = input.size() >= 128 && input.right(128).startsWith("TAG");

    clsID3 tag;
    tag.setFilename(path);
    fuzzCheck(tag.TagFound() == hasTag);
    if (!hasTag)
        return 0;
    for (const auto& [text, width] : {std::pair{tag.Title(), 30},
                                      {tag.Artist(), 30},
                                      {tag.Album(), 30},
                                      {tag.Comment(), 30},
                                      {tag.Year(), 4}})
        fuzzCheck(text.size() <= width && !text.contains(QChar(0)));
    fuzzCheck(tag.Genre() >= 0 && tag.Genre() <= 255);

    // Writing back what was loaded changes nothing; editing the title
    // changes only the title's bytes.
    fuzzCheck(tag.SaveTag().isEmpty());
    fuzzCheck(contentOf(path) == input);
    if (input.size() > 128) {
        const QString title = tag.Title();
        tag.setTitle(title);
        fuzzCheck(tag.SaveTag().isEmpty());
        QByteArray expected = input;
        QByteArray field = title.toLatin1();
        field.append(QByteArray(30 - field.size(), '\0'));
        expected.replace(input.size() - 128 + 3, 30, field);
        fuzzCheck(contentOf(path) == expected);
    }
    return 0;
}
