#include "playlist/PlaylistFileOps.h"
#include "platform/Dialogs.h"
#include "playlist/ExistingFiles.h"
#include "playlist/KeepPrevious.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistModel.h"
#include <QFile>
#include <algorithm>
#include <optional>

namespace {
// Appends what the file holds whose files exist. The playlist never grows
// past its limit.
PlaylistReadResult appendFromFile(PlaylistModel& shown, const QString& path) {
    const int room = std::max(0, kMaxPlaylistEntries - shown.count());
    ExistingFiles exists;
    PlaylistReadResult read = readPlaylistFile(
        path, [&exists](const QString& entryPath) { return exists(entryPath); }, room);
    shown.appendEntries(read.entries);
    read.entries.clear();
    return read;
}

std::optional<QString> askForFile(Dialogs& dialogs, bool save, const QString& folder) {
    const Dialogs::FileRequest request{PlaylistTexts::kDialogTitle, folder, PlaylistTexts::kDialogFileName,
                                       PlaylistTexts::kDialogFilter, PlaylistTexts::kDialogExtension};
    std::optional<QString> chosen = save ? dialogs.saveFile(request) : dialogs.openFile(request);
    // A dialog that hands back its own file name pattern was not answered.
    if (chosen && (chosen->isEmpty() || *chosen == PlaylistTexts::kDialogFileName))
        return std::nullopt;
    return chosen;
}

void writeOrComplain(const PlaylistModel& playlist, const QString& path, Dialogs& dialogs) {
    if (!writePlaylistFile(playlist, path))
        dialogs.message(PlaylistTexts::kSaveError, PlaylistTexts::kProblemTitle);
}
} // namespace

void LoadPlaylistFile(PlaylistModel& shown, const QString& path, Dialogs& dialogs) {
    loadPlaylist(shown, path, dialogs);
}

PlaylistLoad loadPlaylist(PlaylistModel& shown, const QString& path, Dialogs& dialogs) {
    if (!isExistingFile(path))
        return PlaylistLoad::NoFile;
    const PlaylistReadResult read = appendFromFile(shown, path);
    if (!read.complete())
        dialogs.message(PlaylistTexts::kLoadError, PlaylistTexts::kProblemTitle);
    return read.whole() ? PlaylistLoad::Whole : PlaylistLoad::Partial;
}

void quickSavePlaylist(const PlaylistModel& shown, QString& autoSavePath, const QString& defaultPath,
                       Dialogs& dialogs) {
    if (shown.isEmpty())
        return;
    if (autoSavePath.isEmpty())
        autoSavePath = defaultPath;
    autoSavePath = withPlaylistExtension(autoSavePath);
    writeOrComplain(shown, autoSavePath, dialogs);
}

void savePlaylistAs(const PlaylistModel& shown, const QString& startFolder, Dialogs& dialogs) {
    const std::optional<QString> chosen = askForFile(dialogs, true, startFolder);
    if (!chosen)
        return;
    writeOrComplain(shown, withPlaylistExtension(*chosen), dialogs);
}

void loadPlaylistWithDialog(PlaylistModel& shown, Dialogs& dialogs) {
    const std::optional<QString> chosen = askForFile(dialogs, false, QString());
    if (!chosen)
        return;
    if (!appendFromFile(shown, *chosen).complete())
        dialogs.message(PlaylistTexts::kDialogLoadError, PlaylistTexts::kProblemTitle);
}

bool chooseAutoSavePath(QString& autoSavePath, const QString& startFolder, Dialogs& dialogs) {
    const std::optional<QString> chosen = askForFile(dialogs, true, startFolder);
    if (!chosen)
        return false;
    autoSavePath = withPlaylistExtension(*chosen);
    return true;
}

void shutdownSavePlaylist(const PlaylistModel& a, const ShutdownSave& save, Dialogs& dialogs) {
    if (save.shiftHeld || !save.autoSaveOn)
        return;
    if (save.keepPrevious)
        keepPreviousFile(save.autoSavePath);
    if (!a.isEmpty()) {
        writeOrComplain(a, save.autoSavePath, dialogs);
        return;
    }
    // An auto-save file that cannot be removed would bring the old list back
    // at the next start: say so, as a failed save would. Only a regular file
    // is removed.
    if (isRegularFile(save.autoSavePath) && !QFile::remove(save.autoSavePath))
        dialogs.message(PlaylistTexts::kSaveError, PlaylistTexts::kProblemTitle);
}
