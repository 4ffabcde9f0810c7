#include "FuzzCheck.h"
#include "playlist/M3uFile.h"

// Feeds arbitrary bytes to the M3U reader: it must neither crash nor take
// more entries than the room it is given; every entry has a name and an
// absolute path within the limits; and what the M3U8 writer makes of the
// entries reads back as the same entries.
void fuzzOne(const QByteArray& input) {
    const PlaylistReadResult all = readM3u(input, M3uText::Utf8OrWindows1252, QStringLiteral("/lists"));
    const PlaylistReadResult some =
        readM3u(input, M3uText::Utf8, QStringLiteral("/"),
                [](const QString& path) { return path.size() % 2 == 0; }, {3, 4096});
    fuzzCheck(some.entries.size() <= 3 && all.status != PlaylistReadStatus::PlaylistFull);
    std::vector<PlaylistEntry> writable;
    for (const PlaylistEntry& entry : all.entries) {
        fuzzCheck(!entry.name.isEmpty() && entry.name.size() <= kMaxEntryNameUnits &&
                  entry.path.startsWith(u'/') && entry.path.size() <= kMaxEntryPathUnits);
        if (!entry.path.contains(u'\n') && !entry.path.contains(u'\r'))
            writable.push_back(entry);
    }
    PlaylistModel model;
    model.appendEntries(all.entries);
    const M3uSave save = m3u8Bytes(model, QStringLiteral("/"));
    const PlaylistReadResult back = readM3u(save.bytes, M3uText::Utf8, QStringLiteral("/elsewhere"));
    fuzzCheck(back.status == PlaylistReadStatus::Complete && back.entries.size() == writable.size() &&
              save.skipped == static_cast<int>(all.entries.size() - writable.size()));
    for (size_t i = 0; i < writable.size(); ++i)
        fuzzCheck(back.entries[i].name == writable[i].name && back.entries[i].path == writable[i].path &&
                  back.entries[i].seconds == writable[i].seconds);
}
