#pragma once
#include <QString>

// The playlist files the player loads wherever a file is added: its own
// .KVPL files and M3U playlists (.m3u, .m3u8). Extensions in any letter case.

bool isM3uFile(const QString& path);  // .m3u or .m3u8
bool isM3u8File(const QString& path); // .m3u8: UTF-8 by definition
// A .KVPL or an M3U playlist.
bool isLoadablePlaylist(const QString& path);
