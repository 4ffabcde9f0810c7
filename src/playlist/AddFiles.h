#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class PatternList;
class PlaylistModel;

// Adding files to the shown playlist from the file browser and from drops.
// Every way appends entries {display name, short path} unchecked, with no
// duplicate check (the display name with look-alikes for "*" and line breaks,
// playlistDisplayName), and stops quietly once the playlist is full
// (kMaxPlaylistEntries). A playlist file met on the way (.KVPL, .m3u or
// .m3u8: isLoadablePlaylist) is loaded through the loader instead of being
// added, except by "add all" and the folder add, which skip it.

// Loads a playlist file into the shown playlist (LoadPlaylistFile with the
// window's dialogs).
using PlaylistLoader = std::function<void(const QString& path)>;

struct AddOutcome {
    int appended = 0;        // entries appended to the playlist
    int playlistsLoaded = 0; // playlist files handed to the loader
    // The selected name as the adding leaves it: the last browser name met,
    // playlist files included; empty when none was met (drops never set it).
    QString lastName;
    bool full = false; // the playlist filled up before everything was added
};

// A double-click (or Enter, or "A&dd") on a browser file: loads it when it is
// a playlist file, else appends name + short path of folder/name. An empty
// name does nothing.
AddOutcome addBrowserFile(PlaylistModel& shown, const QString& folder, const QString& name,
                          const PlaylistLoader& load);

// "A&ll": appends every listed name of the folder in order, skipping
// playlist files.
AddOutcome addAllFiles(PlaylistModel& shown, const QString& folder, const QStringList& names);

// Appends the folder's files that match the patterns, in browser order,
// skipping playlist files.
AddOutcome AddFolderFiles(PlaylistModel& shown, const QString& folder, const PatternList& patterns);

// Ctrl+"A&dd": the listed names of the folder first (as "A&ll"), then the
// matching files of each immediate subfolder in browser order; deeper
// folders are never visited.
AddOutcome addFolderAndSubfolders(PlaylistModel& shown, const QString& folder, const QStringList& names,
                                  const PatternList& patterns);

// A drop of paths onto a playlist, in the order given: paths the pattern
// list's text does not accept (dropAccepted) and folders are skipped,
// playlist files are loaded (entries dropped before them are appended first), the others appended with the
// text after the last "\" or "/" as the display name (the whole path when it has neither).
AddOutcome addDroppedFiles(PlaylistModel& shown, const QStringList& paths, const QString& patternListText,
                           const PlaylistLoader& load);
