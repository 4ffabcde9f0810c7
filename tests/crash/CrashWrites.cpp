#include "crash/CrashWrites.h"
#include "platform/RegularFile.h"
#include "playlist/PlaylistFile.h"
#include "settings/SettingsExport.h"
#include "tags/TagRecordFile.h"
#include "tags/clsID3.h"
#include <QFile>
#include <cstring>

namespace {

// A full playlist: the most a list box of the first release held.
void fillPlaylistVersion(PlaylistModel& model, int version) {
    std::vector<PlaylistEntry> entries;
    entries.reserve(32767);
    for (int i = 0; i < 32767; ++i)
        entries.push_back({QStringLiteral("Track %1 of version %2.mp3").arg(i).arg(version),
                           QStringLiteral("/home/user/Music/Artist %1/Track %2.mp3").arg(i % 300).arg(i),
                           false});
    model.appendEntries(entries);
}

SettingsExport::Values settingsVersion(int version) {
    SettingsExport::Values v;
    v.caption = QStringLiteral("Kivo Player Options V7.01256");
    for (int i = 0; i < 10; ++i) {
        v.presets[i] = QStringLiteral("/home/user/Preset %1 v%2").arg(i).arg(version);
        v.preNames[i] = QString::number(i + 1 + 10 * version);
    }
    v.onTop = version;
    v.devicePath = version ? QStringLiteral("/media/user/PLAYER/") : QStringLiteral("/mnt/");
    v.joystickCodes = {1, 2, 4, 8, 16, 32, 64, 128, 3 + version};
    return v;
}

QByteArray audio() {
    QByteArray bytes(64 * 1024, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    return bytes;
}

TagRecord tagVersion(int version) {
    TagRecord record{};
    std::memcpy(record.data(), "TAG", 3);
    const QByteArray title = QStringLiteral("Title of version %1").arg(version).toLatin1();
    std::memcpy(record.data() + 3, title.constData(), title.size());
    std::memset(record.data() + 33, 'a' + version, 30); // artist
    record[127] = char(version);
    return record;
}

} // namespace

CrashTarget crashTargetNamed(const QString& name) {
    if (name == QLatin1String("playlist"))
        return CrashTarget::Playlist;
    if (name == QLatin1String("export"))
        return CrashTarget::SettingsExport;
    return CrashTarget::Tag;
}

QByteArray crashVersionBytes(CrashTarget target, int version) {
    switch (target) {
    case CrashTarget::Playlist: {
        PlaylistModel model;
        fillPlaylistVersion(model, version);
        return playlistBytes(model);
    }
    case CrashTarget::SettingsExport:
        return SettingsExport::write(settingsVersion(version));
    case CrashTarget::Tag: {
        const TagRecord record = tagVersion(version);
        return audio() + QByteArray(record.data(), kTagRecordSize);
    }
    }
    return {};
}

void prepareCrashTarget(CrashTarget target, const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(crashVersionBytes(target, 0));
}

bool writeCrashVersion(CrashTarget target, const QString& path, int version) {
    switch (target) {
    case CrashTarget::Playlist: {
        PlaylistModel model;
        fillPlaylistVersion(model, version);
        return writePlaylistFile(model, path);
    }
    case CrashTarget::SettingsExport:
        return replaceRegularFile(SettingsExport::fileNameFor(path),
                                  SettingsExport::write(settingsVersion(version)));
    case CrashTarget::Tag:
        return writeTagRecord(path, tagVersion(version)) == TagWriteStatus::Written;
    }
    return false;
}
