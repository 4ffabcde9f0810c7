#include "FuzzCheck.h"
#include "playlist/M3uFile.h"

// Feeds arbitrary bytes to the M3U reader: it must neither crash nor take
// more entries than the room it is given; every entry has a name and an
// absolute path within the limits; and what the M3U8 writer makes of the
// entries, line breaks and all, reads back as the same entries.
void fuzzOne(const QByteArray& input) {
    const PlaylistReadResult all = readM3u(input, M3uText::Utf8OrWindows1252, QStringLiteral("/lists"));
    const PlaylistReadResult some =
        readM3u(input, M3uText::Utf8, QStringLiteral("/"),
                [](const QString& path, QByteArrayView) { return path.size() % 2 == 0; }, {3, 4096});
    fuzzCheck(some.entries.size() <= 3 && all.status != PlaylistReadStatus::PlaylistFull);
    for (const PlaylistEntry& entry : all.entries)
        fuzzCheck(!entry.name.isEmpty() && entry.name.size() <= kMaxEntryNameUnits &&
                  entry.path.startsWith(u'/') && entry.path.size() <= kMaxEntryPathUnits);
    PlaylistModel model;
    model.appendEntries(all.entries);
    const PlaylistReadResult back =
        readM3u(m3u8Bytes(model, QStringLiteral("/")), M3uText::Utf8, QStringLiteral("/elsewhere"));
    fuzzCheck(back.status == PlaylistReadStatus::Complete && back.entries.size() == all.entries.size());
    for (size_t i = 0; i < all.entries.size(); ++i)
        fuzzCheck(back.entries[i].name == all.entries[i].name &&
                  back.entries[i].path == all.entries[i].path &&
                  back.entries[i].seconds == all.entries[i].seconds);
}
