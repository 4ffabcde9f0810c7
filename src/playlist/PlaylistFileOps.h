#pragma once
#include <QString>

class Dialogs;
class PlaylistModel;

// The program's texts for playlist files.
namespace PlaylistTexts {
inline const QString kProblemTitle = QStringLiteral("Problem!");
inline const QString kLoadError = QStringLiteral("Error Loading Playlist, Make sure PlayList is Present");
inline const QString kDialogLoadError =
    QStringLiteral("Error Loading Playlist,Check Something to Kinda Fix It, OK!?!");
inline const QString kSaveError =
    QStringLiteral("Error Saving Playlist,Check Something to Kinda Fix It, OK!?!");
inline const QString kDialogTitle = QStringLiteral("Kivo Player Playlist");
// "Playlist Load" opens the player's own playlists and M3U ones.
inline const QString kDialogFilter = QStringLiteral(
    "Playlists (*.KVPL *.m3u *.m3u8);;Kivo Player Playlist (*.KVPL);;M3U Playlist (*.m3u *.m3u8)");
inline const QString kDialogExtension = QStringLiteral("KVPL");
inline const QString kDialogFileName = QStringLiteral("*.KVPL");
// Every way a list grows stops here.
inline const QString kListFull = QStringLiteral(
    "The playlist is full: it holds as much as a playlist file can keep. What did not fit was not added.");
// %1: an auto-save path naming a file that is no playlist.
inline const QString kNotAPlaylist =
    QStringLiteral("%1 is not a Kivo Player playlist: it was left as it is, and the playlist was not saved.");
// "Save as" offers M3U8 beside the player's own format.
inline const QString kSaveDialogFilter =
    QStringLiteral("Kivo Player Playlist (*.KVPL);;M3U8 Playlist (*.m3u8)");
// A load that left entries out says how many: otherwise a playlist of streams
// or of files since moved opens as an empty list without a word.
QString notLoaded(int skipped);
} // namespace PlaylistTexts

// Appends the entries of a playlist file whose files exist to the shown
// playlist. A missing playlist file does nothing; a damaged one keeps the
// entries read before the damage and says so; one whose entries were left out
// says how many. A name ending in .m3u or .m3u8
// is read as an M3U playlist (only its regular files are taken), any other as
// a .KVPL.
void LoadPlaylistFile(PlaylistModel& shown, const QString& path, Dialogs& dialogs);

enum class PlaylistLoad {
    NoFile,  // nothing at the path: nothing changed
    Whole,   // every entry of a complete file was appended
    Partial, // the read failed or stopped early, or entries were left out
};
// LoadPlaylistFile that says how far the load got.
PlaylistLoad loadPlaylist(PlaylistModel& shown, const QString& path, Dialogs& dialogs);

// The diskette button: writes a non-empty shown playlist to the auto-save
// path, which falls back to defaultPath when empty and keeps the ".KVPL" it
// may be given here.
void quickSavePlaylist(const PlaylistModel& shown, QString& autoSavePath, const QString& defaultPath,
                       Dialogs& dialogs);

// "Playlist Save": asks for a file, starting in startFolder, and writes the
// shown playlist there, even an empty one: as M3U8 when the chosen name ends
// in .m3u8 or .m3u, otherwise as
// a .KVPL (extension rule).
void savePlaylistAs(const PlaylistModel& shown, const QString& startFolder, Dialogs& dialogs);

// "Playlist Load": asks for a file (.KVPL or M3U) and appends its entries
// whose files exist, saying how many were left out.
void loadPlaylistWithDialog(PlaylistModel& shown, Dialogs& dialogs);

// "Save On Exit Path": asks for the auto-save file; true when one was chosen
// and stored. Nothing is written.
bool chooseAutoSavePath(QString& autoSavePath, const QString& startFolder, Dialogs& dialogs);

struct ShutdownSave {
    bool autoSaveOn = false;
    bool shiftHeld = false;
    QString autoSavePath;
    // The start-up restore did not take the file whole: it is kept beside
    // itself (keepPreviousFile) before it is replaced or deleted.
    bool keepPrevious = false;
};

// At shut-down: writes playlist A to the auto-save path as it stands, or
// deletes the auto-save file when A is empty; only a regular file is
// replaced or deleted. Shift held or the switch off leaves everything alone.
void shutdownSavePlaylist(const PlaylistModel& a, const ShutdownSave& save, Dialogs& dialogs);
