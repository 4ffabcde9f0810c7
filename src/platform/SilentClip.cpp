#include "platform/SilentClip.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <memory>

static void initResources() {
    // The resource file is compiled into a static library: its registration must be pulled in by hand.
    Q_INIT_RESOURCE(resources);
}

QString silentClipPath() {
    static std::unique_ptr<QTemporaryFile> clip;
    if (clip && QFileInfo::exists(clip->fileName()))
        return clip->fileName();
    initResources();
    QFile source(QStringLiteral(":/sound/silence.wav"));
    if (!source.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = source.readAll();
    auto file =
        std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("kivo-silence-XXXXXX.wav")));
    if (!file->open() || file->write(bytes) != bytes.size() || !file->flush())
        return {};
    file->close();
    clip = std::move(file);
    return clip->fileName();
}
