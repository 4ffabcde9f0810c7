#include "core/AutoSaveLock.h"
#include <QFile>
#include <QLockFile>
#include <memory>

bool ownsAutoSave(const QString& path) {
    // One per process, held to its end.
    static std::unique_ptr<QLockFile> held;
    static QString heldPath;
    if (held && heldPath == path)
        return true;
    // A lock file someone removed is not unlocked (which would warn of it); its small object is let go.
    if (held && !QFile::exists(heldPath + QStringLiteral(".lock")))
        (void)held.release();
    held.reset();
    heldPath.clear();
    if (path.isEmpty())
        return false;
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    // Judged by its process only: a player may hold it for days.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    held = std::move(lock);
    heldPath = path;
    return true;
}

void giveUpAutoSave() {
    ownsAutoSave(QString());
}
