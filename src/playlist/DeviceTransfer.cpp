#include "playlist/DeviceTransfer.h"
#include "browser/FileFunctions.h"
#include "playlist/DeviceCopy.h"
#include "playlist/DeviceNames.h"
#include "playlist/PlaylistModel.h"
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

namespace {
constexpr double kMargin = 2000;
}

DeviceTransfer::DeviceTransfer(PlaylistModel& deviceList, Seams seams, QObject* parent)
    : QObject(parent), list_(deviceList), seams_(std::move(seams)), worker_(new QThreadPool(this)) {
    worker_->setMaxThreadCount(1);
    if (!seams_.freeSpace)
        seams_.freeSpace = [](const QString& path) {
            return GetFreeSpaceOnDisk(path);
        };
    if (!seams_.fileSize)
        seams_.fileSize = [](const QString& file) {
            return FileSize(file);
        };
    if (!seams_.copy)
        seams_.copy = [stop = &stopping_](const QString& source, const QString& folder, const QString& name,
                                          bool* replaced) {
            return copyIntoFolder(source, folder, name, stop, replaced);
        };
}

DeviceTransfer::~DeviceTransfer() {
    // The copy under way is given up (its partial file removed) so that closing the window never waits for a
    // large file; its result, posted to this object, is dropped with it.
    stopping_ = true;
    worker_->waitForDone();
    if (copying_)
        list_.setBusy(0);
}

int DeviceTransfer::copyingPosition() const {
    return copying_ ? list_.positionOf(copyingId_) : -1;
}

void DeviceTransfer::start(const QString& deviceFolder, bool renaming) {
    if (running_)
        return;
    folder_ = deviceFolder;
    renaming_ = renaming;
    running_ = true;
    position_ = 0;
    written_.clear();
    replaced_.clear();
    // An unplugged player is not a full one: nothing is measured, nothing copied.
    if (!QFileInfo(folder_).isDir()) {
        emit failed(QStringLiteral("The device folder %1 is not there: nothing was copied.").arg(folder_));
        return finish();
    }
    // Before the first copy, on the same thread.
    worker_->start([folder = folder_] { removeStaleCopies(folder); });
    next();
}

void DeviceTransfer::finish() {
    copying_ = false;
    // The device held other files under these names; the user learns which are gone.
    if (!replaced_.isEmpty())
        emit failed(
            QStringLiteral("These files on the device were replaced by the copies of the same name: %1.")
                .arg(std::exchange(replaced_, {}).join(QStringLiteral(", "))));
    if (!copiedAny_) {
        running_ = false;
        emit finished();
        return;
    }
    // The transfer has finished when what it copied is on the device, so that a player unplugged then holds
    // every file; until then Transfer stays unavailable.
    copiedAny_ = false;
    worker_->start([this, folder = folder_] {
        syncFileSystemOf(folder);
        QMetaObject::invokeMethod(
            this,
            [this] {
                running_ = false;
                emit finished();
            },
            Qt::QueuedConnection);
    });
}

void DeviceTransfer::next() {
    for (;;) {
        if (list_.isEmpty() || position_ >= list_.count())
            return finish();
        const QString path = list_.path(position_);
        bool known = false;
        const double size = seams_.fileSize(path).toDouble(&known);
        if (!known) {
            emit failed(
                QStringLiteral("%1 could not be read: %2 is missing or is not a file that can be read.")
                    .arg(list_.name(position_), path));
            return finish();
        }
        if (!(seams_.freeSpace(folder_) - kMargin > size)) {
            ++position_; // does not fit: stays in the list
            continue;
        }
        // The folder names are looked up only for renaming: each costs a look at the disk.
        const QString longPath = renaming_ ? sLongName(path) : QString();
        const auto name = DeviceNames::destinationName(list_.name(position_), longPath, renaming_);
        if (!name)
            return finish();
        // A file this transfer wrote is never replaced by another (a player's FAT folder takes "A.mp3" and
        // "a.mp3" for one name): the later one gets a name of its own.
        QString distinct = *name;
        for (int n = 2; written_.contains(distinct.toCaseFolded()); ++n)
            distinct = DeviceNames::numbered(*name, n);
        copyingName_ = distinct;
        copying_ = true;
        copyingId_ = list_.id(position_);
        list_.setBusy(copyingId_);
        // One copy at a time off the user-interface thread; the result comes back to it.
        worker_->start([this, copy = seams_.copy, path, folder = folder_, name = distinct] {
            bool replaced = false;
            const QString error = copy(path, folder, name, &replaced);
            QMetaObject::invokeMethod(
                this, [this, error, replaced] { copied(error, replaced); }, Qt::QueuedConnection);
        });
        return;
    }
}

void DeviceTransfer::copied(const QString& error, bool replaced) {
    copying_ = false;
    list_.setBusy(0);
    if (!error.isEmpty()) {
        const int at = list_.positionOf(copyingId_);
        emit failed(QStringLiteral("%1 could not be copied to %2: %3.")
                        .arg(at >= 0 ? list_.name(at) : copyingName_, folder_, error));
        return finish();
    }
    written_.insert(copyingName_.toCaseFolded());
    if (replaced)
        replaced_ << copyingName_;
    // The entry copied is taken off where edits elsewhere in the list have moved it; the next one has taken
    // its place.
    copiedAny_ = true;
    if (const int at = list_.positionOf(copyingId_); at >= 0) {
        list_.removeAt(at);
        position_ = at;
    }
    QPointer<DeviceTransfer> alive(this);
    emit entryCopied();
    if (alive)
        next();
}
