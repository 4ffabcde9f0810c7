#include "playlist/PlaylistKinds.h"
#include "playlist/PlaylistFile.h"

bool isM3uFile(const QString& path) {
    return path.endsWith(QLatin1String(".m3u"), Qt::CaseInsensitive) || isM3u8File(path);
}

bool isM3u8File(const QString& path) {
    return path.endsWith(QLatin1String(".m3u8"), Qt::CaseInsensitive);
}

bool isLoadablePlaylist(const QString& path) {
    return isPlaylistFile(path) || isM3uFile(path);
}
