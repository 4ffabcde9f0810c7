#include "playlist/AddFiles.h"
#include "browser/BrowserPaths.h"
#include "browser/DirectoryListing.h"
#include "browser/FileFunctions.h"
#include "browser/PatternList.h"
#include "playlist/PlaylistFields.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistKinds.h"
#include "playlist/PlaylistModel.h"
#include <QFileInfo>
#include <vector>

namespace {

// Collects entries and appends them to the playlist in one model step, never
// past the playlist's capacity.
class Batch {
public:
    Batch(PlaylistModel& model, AddOutcome& outcome) : model_(model), outcome_(outcome) {}
    ~Batch() { flush(); }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // False once the playlist is full. The display name gets look-alikes for
    // what a playlist line cannot hold, so it is saved and loaded unchanged.
    bool add(const QString& name, const QString& path) {
        QString shown = playlistDisplayName(name);
        if (pending_.empty()) // a playlist file loaded meanwhile took its share
            room_ = model_.room();
        if (!room_.take(shown, path)) {
            outcome_.full = true;
            return false;
        }
        pending_.push_back({std::move(shown), path, false});
        return true;
    }

    void flush() {
        if (pending_.empty())
            return;
        model_.appendEntries(pending_);
        outcome_.appended += static_cast<int>(pending_.size());
        pending_.clear();
    }

private:
    PlaylistModel& model_;
    AddOutcome& outcome_;
    PlaylistRoom room_; // what the list can take besides the pending entries
    std::vector<PlaylistEntry> pending_;
};

// A subfolder that is a link to the folder itself or to a folder above it: its files are the folder's own,
// or none of the folder's.
bool leadsBackUp(const QString& folder, const QString& subfolder) {
    return !subfolder.isEmpty() &&
           (subfolder == folder || subfolder == u'/' || folder.startsWith(subfolder + u'/'));
}

// Appends the listed names of one folder; false once the playlist is full.
bool addListed(Batch& batch, AddOutcome& outcome, const QString& folder, const QStringList& names) {
    for (const QString& name : names) {
        outcome.lastName = name;
        if (isLoadablePlaylist(name))
            continue;
        if (!batch.add(name, shortPath(browserFilePath(folder, name))))
            return false;
    }
    return true;
}

} // namespace

AddOutcome addBrowserFile(PlaylistModel& shown, const QString& folder, const QString& name,
                          const PlaylistLoader& load) {
    AddOutcome outcome;
    if (name.isEmpty())
        return outcome;
    outcome.lastName = name;
    const QString path = browserFilePath(folder, name);
    if (isLoadablePlaylist(name)) {
        if (load)
            load(path);
        ++outcome.playlistsLoaded;
        return outcome;
    }
    Batch batch(shown, outcome);
    batch.add(name, shortPath(path));
    batch.flush();
    return outcome;
}

AddOutcome addAllFiles(PlaylistModel& shown, const QString& folder, const QStringList& names) {
    AddOutcome outcome;
    {
        Batch batch(shown, outcome);
        addListed(batch, outcome, folder, names);
    }
    return outcome;
}

AddOutcome AddFolderFiles(PlaylistModel& shown, const QString& folder, const PatternList& patterns) {
    return addAllFiles(shown, folder, listMatchingFiles(folder, patterns));
}

AddOutcome addFolderAndSubfolders(PlaylistModel& shown, const QString& folder, const QStringList& names,
                                  const PatternList& patterns) {
    AddOutcome outcome;
    {
        Batch batch(shown, outcome);
        if (addListed(batch, outcome, folder, names)) {
            const QString here = QFileInfo(folder).canonicalFilePath();
            for (const QString& subfolder : listSubfolders(folder)) {
                const QString subPath = browserFilePath(folder, subfolder);
                if (leadsBackUp(here, QFileInfo(subPath).canonicalFilePath()))
                    continue;
                if (!addListed(batch, outcome, subPath, listMatchingFiles(subPath, patterns)))
                    break;
            }
        }
    }
    return outcome;
}

AddOutcome addDroppedFiles(PlaylistModel& shown, const QStringList& paths, const QString& patternListText,
                           const PlaylistLoader& load) {
    AddOutcome outcome;
    Batch batch(shown, outcome);
    for (const QString& path : paths) {
        if (path.isEmpty() || !dropAccepted(path, patternListText))
            continue;
        const QFileInfo info(path);
        if (info.isDir())
            continue;
        if (isLoadablePlaylist(path)) {
            // Entries dropped before the playlist file stay in front of its entries.
            batch.flush();
            if (load)
                load(path);
            ++outcome.playlistsLoaded;
            continue;
        }
        if (!batch.add(lastComponent(path), info.exists() ? info.absoluteFilePath() : QString()))
            break;
    }
    batch.flush();
    return outcome;
}
