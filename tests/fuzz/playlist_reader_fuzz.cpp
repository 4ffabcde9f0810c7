#include "FuzzCheck.h"
#include "playlist/PlaylistFile.h"
#include <cstddef>
#include <cstdint>

// Feeds arbitrary bytes to the playlist reader: it must neither crash nor
// take more entries than the room it is given, and every entry it returns
// must come from a line that held a "*".
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InputClock clock(data, size);
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const PlaylistReadResult all = readPlaylist(bytes);
    const PlaylistReadResult some = readPlaylist(
        bytes, [](const QString& path) { return path.size() % 2 == 0; }, 3);
    const auto stars = static_cast<size_t>(bytes.count('*'));
    fuzzCheck(all.entries.size() <= stars && some.entries.size() <= 3 &&
              some.entries.size() <= all.entries.size());
    fuzzCheck(all.complete() == (all.status == PlaylistReadStatus::Complete));
    return 0;
}
