#include "playlist/DeviceCopy.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>
#include <vector>

QString copyIntoFolder(const QString& source, const QString& folder, const QString& fileName) {
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 could not be read").arg(source);
    const QString target = QDir(folder).filePath(fileName);
    QFile out;
    for (int attempt = 0; attempt < 20 && !out.isOpen(); ++attempt) {
        out.setFileName(
            QDir(folder).filePath(QStringLiteral(".kivo-%1.part")
                                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))));
        out.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    if (!out.isOpen())
        return QStringLiteral("%1 could not be written in %2").arg(fileName, folder);
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (;;) {
        const qint64 got = in.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (out.write(buffer.data(), got) != got) {
            ok = false;
            break;
        }
    }
    ok = ok && out.flush();
    out.close();
    ok = ok && out.error() == QFileDevice::NoError;
    // rename() replaces an existing destination in one step.
    if (ok && std::rename(QFile::encodeName(out.fileName()).constData(),
                          QFile::encodeName(target).constData()) == 0)
        return {};
    QFile::remove(out.fileName());
    return QStringLiteral("%1 could not be copied to %2").arg(QFileInfo(source).fileName(), folder);
}
