#pragma once
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

class PlaylistModel;
class QThreadPool;

// "Transfer" of the device tab: copies the device list's entries into the device folder one after another,
// each on a worker thread so that the window keeps answering, and takes each copied entry off the list. A
// file that does not fit (2,000 bytes stay free, measured again before each file) is skipped and stays. A
// failed copy stops the transfer and leaves its entry in the list; so does a device folder that is not
// there, before anything is measured. A transfer never replaces a file it wrote: a later entry of the same
// name (letter case aside) gets a numbered name. The entry being copied is marked busy in
// the list, so that edits leave it in place, and is found again by its id when the copy is done.
class DeviceTransfer : public QObject {
    Q_OBJECT
public:
    struct Seams {
        std::function<double(const QString& path)> freeSpace; // bytes free on the drive holding the path
        std::function<QString(const QString& file)> fileSize; // a file's length as text, empty when missing
        // Runs on the worker thread; returns the reason of a failure, empty on success, and whether the copy
        // replaced another file (copyIntoFolder).
        std::function<QString(const QString& source, const QString& folder, const QString& name,
                              bool* replaced)>
            copy;
    };

    DeviceTransfer(PlaylistModel& deviceList, Seams seams, QObject* parent = nullptr);
    ~DeviceTransfer() override;

    void start(const QString& deviceFolder, bool renaming);
    bool running() const { return running_; }
    // The position of the entry being copied, -1 when none.
    int copyingPosition() const;

signals:
    // An entry was copied and taken off the list.
    void entryCopied();
    // Ends every transfer, after `failed` when one failed or a copy replaced another file.
    void finished();
    void failed(const QString& reason);

private:
    void next();
    void copied(const QString& error, bool replaced);
    void finish();

    PlaylistModel& list_;
    Seams seams_;
    QString folder_;
    bool renaming_ = false;
    bool running_ = false;
    bool copying_ = false;
    bool copiedAny_ = false;
    std::atomic<bool> stopping_{false};
    int position_ = 0;
    quint64 copyingId_ = 0;
    QString copyingName_;   // its name on the device
    QSet<QString> written_; // names this transfer wrote, case-folded
    QStringList replaced_;  // names whose earlier file a copy replaced
    // One thread, kept for the whole transfer: starting a thread for each file would cost more than a
    // small file's copy.
    QThreadPool* worker_;
};
