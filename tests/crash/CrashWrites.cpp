#include "crash/CrashWrites.h"
#include "platform/RegularFile.h"
#include "playlist/PlaylistFile.h"
#include "settings/SettingsExport.h"
#include "tags/TagRecordFile.h"
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// A full playlist: the most a list box of the first release held.
PlaylistModel& filled(PlaylistModel& model, int version) {
    std::vector<PlaylistEntry> entries;
    for (int i = 0; i < 32767; ++i)
        entries.push_back({u"Track %1 of version %2.mp3"_s.arg(i).arg(version),
                           u"/home/user/Music/Artist %1/Track %2.mp3"_s.arg(i % 300).arg(i), false});
    model.appendEntries(entries);
    return model;
}

SettingsExport::Values settings(int version) {
    SettingsExport::Values v;
    v.caption = u"Kivo Player Options V7.01256"_s;
    for (int i = 0; i < 10; ++i)
        v.presets[i] = u"/home/user/Preset %1 v%2"_s.arg(i).arg(version);
    v.devicePath = version ? u"/media/user/PLAYER/"_s : u"/mnt/"_s;
    return v;
}

// The tag's file is 64 KiB of audio, then the tag record.
TagRecord tag(int version) {
    TagRecord record{};
    std::memcpy(record.data(), "TAG", 3);
    std::memset(record.data() + 3, 'a' + version, 60); // title and artist
    return record;
}

} // namespace

QByteArray crashVersionBytes(const QString& target, int version) {
    PlaylistModel model;
    if (target == "playlist"_L1)
        return playlistBytes(filled(model, version));
    if (target == "export"_L1)
        return SettingsExport::write(settings(version));
    return QByteArray(64 * 1024, '\x55') + QByteArray(tag(version).data(), kTagRecordSize);
}

bool writeCrashVersion(const QString& target, const QString& path, int version) {
    PlaylistModel model;
    if (target == "playlist"_L1)
        return writePlaylistFile(filled(model, version), path);
    if (target == "export"_L1)
        return replaceRegularFile(SettingsExport::fileNameFor(path),
                                  SettingsExport::write(settings(version)));
    return writeTagRecord(path, tag(version)) == TagWriteStatus::Written;
}
