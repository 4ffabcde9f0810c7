#include "FuzzCheck.h"
#include "playlist/PlaylistFile.h"
#include <QFile>

// Feeds arbitrary bytes to the playlist reader: it must neither crash nor
// take more entries than the room it is given, and every entry it returns
// must come from a line that held a "*". A path handed to the filter with
// its bytes has them as its file name.
void fuzzOne(const QByteArray& input) {
    const PlaylistReadResult all = readPlaylist(input);
    const auto filter = [](const QString& path, QByteArrayView pathBytes) {
        fuzzCheck(pathBytes.isEmpty() || QFile::encodeName(path) == pathBytes);
        return path.size() % 2 == 0;
    };
    const PlaylistReadResult some = readPlaylist(input, filter, {3, 4096});
    fuzzCheck(all.entries.size() <= static_cast<size_t>(input.count('*')) && some.entries.size() <= 3 &&
              some.entries.size() <= all.entries.size());
    fuzzCheck(all.complete() == (all.status == PlaylistReadStatus::Complete));
}
