#include "playlist/PlaylistFileOps.h"
#include "platform/Dialogs.h"
#include "playlist/ExistingFiles.h"
#include "playlist/KeepPrevious.h"
#include "playlist/M3uFile.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistKinds.h"
#include "playlist/PlaylistModel.h"
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

QString PlaylistTexts::notLoaded(int skipped) {
    return skipped == 1
               ? QStringLiteral("1 entry was not loaded: its file is not there or is not a local file.")
               : QStringLiteral("%1 entries were not loaded: their files are not there or are not "
                                "local files.")
                     .arg(skipped);
}

namespace {
constexpr qint64 kListAheadBytes = 1024 * 1024;

// Appends what the file holds whose files exist. The playlist never grows
// past its limit.
PlaylistReadResult appendFromFile(PlaylistModel& shown, const QString& path) {
    const PlaylistRoom room = shown.room();
    const bool m3u = isM3uFile(path);
    ExistingFiles exists(m3u ? ExistingFiles::Kind::RegularOnly : ExistingFiles::Kind::AnyButFolder);
    // Only a long list is worth a worker: a thread costs more than a few listings.
    if (!m3u && QFileInfo(path).size() >= kListAheadBytes)
        exists.listAheadOf(path);
    const PlaylistPathFilter take = [&exists](const QString& entryPath, QByteArrayView pathBytes) {
        return exists(entryPath, pathBytes);
    };
    PlaylistReadResult read = m3u ? readM3uFile(path, take, room) : readPlaylistFile(path, take, room);
    shown.appendEntries(std::move(read.entries), read.lineBytes);
    read.entries = {};
    return read;
}

enum class Ask { Open, Save, SavePlaylist };

std::optional<QString> askForFile(Dialogs& dialogs, Ask ask, const QString& folder) {
    const QString& filter =
        ask == Ask::SavePlaylist ? PlaylistTexts::kSaveDialogFilter : PlaylistTexts::kDialogFilter;
    const Dialogs::FileRequest request{PlaylistTexts::kDialogTitle, folder, PlaylistTexts::kDialogFileName,
                                       filter, PlaylistTexts::kDialogExtension};
    std::optional<QString> chosen = ask == Ask::Open ? dialogs.openFile(request) : dialogs.saveFile(request);
    // A dialog that hands back its own file name pattern was not answered.
    if (chosen && (chosen->isEmpty() || *chosen == PlaylistTexts::kDialogFileName))
        return std::nullopt;
    return chosen;
}

void writeOrComplain(const PlaylistModel& playlist, const QString& path, Dialogs& dialogs) {
    if (!writePlaylistFile(playlist, path))
        dialogs.message(PlaylistTexts::kSaveError, PlaylistTexts::kProblemTitle);
}

// The auto-save path may have been typed into a settings file by hand: a
// file there that is no playlist is the user's, and is left alone.
bool autoSaveReplaceable(const QString& path, Dialogs& dialogs) {
    if (readsAsPlaylistFile(path))
        return true;
    dialogs.message(PlaylistTexts::kNotAPlaylist.arg(path), PlaylistTexts::kProblemTitle);
    return false;
}

void writeM3u8OrComplain(const PlaylistModel& playlist, const QString& path, Dialogs& dialogs) {
    if (!writeM3u8File(playlist, path))
        dialogs.message(PlaylistTexts::kSaveError, PlaylistTexts::kProblemTitle);
}

// A read that stopped early is reported as an error; one that went through
// says what it left out.
void reportRead(const PlaylistReadResult& read, const QString& error, Dialogs& dialogs) {
    if (!read.complete())
        dialogs.message(error, PlaylistTexts::kProblemTitle);
    else if (read.skipped > 0)
        dialogs.message(PlaylistTexts::notLoaded(read.skipped), PlaylistTexts::kProblemTitle);
}
} // namespace

void LoadPlaylistFile(PlaylistModel& shown, const QString& path, Dialogs& dialogs) {
    loadPlaylist(shown, path, dialogs);
}

PlaylistLoad loadPlaylist(PlaylistModel& shown, const QString& path, Dialogs& dialogs) {
    if (!isExistingFile(path))
        return PlaylistLoad::NoFile;
    const PlaylistReadResult read = appendFromFile(shown, path);
    reportRead(read, PlaylistTexts::kLoadError, dialogs);
    return read.whole() ? PlaylistLoad::Whole : PlaylistLoad::Partial;
}

void quickSavePlaylist(const PlaylistModel& shown, QString& autoSavePath, const QString& defaultPath,
                       Dialogs& dialogs) {
    if (shown.isEmpty())
        return;
    if (autoSavePath.isEmpty())
        autoSavePath = defaultPath;
    autoSavePath = withPlaylistExtension(autoSavePath);
    if (autoSaveReplaceable(autoSavePath, dialogs))
        writeOrComplain(shown, autoSavePath, dialogs);
}

void savePlaylistAs(const PlaylistModel& shown, const QString& startFolder, Dialogs& dialogs) {
    const std::optional<QString> chosen = askForFile(dialogs, Ask::SavePlaylist, startFolder);
    if (!chosen)
        return;
    if (isM3uFile(*chosen))
        writeM3u8OrComplain(shown, *chosen, dialogs);
    else
        writeOrComplain(shown, withPlaylistExtension(*chosen), dialogs);
}

void loadPlaylistWithDialog(PlaylistModel& shown, Dialogs& dialogs) {
    const std::optional<QString> chosen = askForFile(dialogs, Ask::Open, QString());
    if (!chosen)
        return;
    reportRead(appendFromFile(shown, *chosen), PlaylistTexts::kDialogLoadError, dialogs);
}

bool chooseAutoSavePath(QString& autoSavePath, const QString& startFolder, Dialogs& dialogs) {
    const std::optional<QString> chosen = askForFile(dialogs, Ask::Save, startFolder);
    if (!chosen)
        return false;
    autoSavePath = withPlaylistExtension(*chosen);
    return true;
}

void shutdownSavePlaylist(const PlaylistModel& a, const ShutdownSave& save, Dialogs& dialogs) {
    if (save.shiftHeld || !save.autoSaveOn)
        return;
    if (!autoSaveReplaceable(save.autoSavePath, dialogs))
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
