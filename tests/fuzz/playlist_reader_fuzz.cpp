#include "FuzzCheck.h"
#include "playlist/PlaylistFile.h"

// Feeds arbitrary bytes to the playlist reader: it must neither crash nor
// take more entries than the room it is given, and every entry it returns
// must come from a line that held a "*".
void fuzzOne(const QByteArray& input) {
    const PlaylistReadResult all = readPlaylist(input);
    const PlaylistReadResult some =
        readPlaylist(input, [](const QString& path) { return path.size() % 2 == 0; }, {3, 4096});
    fuzzCheck(all.entries.size() <= static_cast<size_t>(input.count('*')) && some.entries.size() <= 3 &&
              some.entries.size() <= all.entries.size());
    fuzzCheck(all.complete() == (all.status == PlaylistReadStatus::Complete));
}
