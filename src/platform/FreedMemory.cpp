#include "platform/FreedMemory.h"
#include "platform/LibraryPages.h"
#include <QThreadPool>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

FreedMemory::FreedMemory(std::chrono::milliseconds interval, Release release, QObject* parent)
    : QObject(parent), release_(std::move(release)) {
    timer_.setSingleShot(true);
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, &FreedMemory::startRelease);
}

void FreedMemory::releaseSoon() {
    // Not restarted while waiting: files closing one after another must not put the release off for ever.
    if (!timer_.isActive())
        timer_.start();
}

void FreedMemory::releaseLibraryPagesSoon() {
    libraryPagesDue_ = true;
    releaseSoon();
}

void FreedMemory::startRelease() {
    if (running_->exchange(true))
        return; // the last one is still at work; the next closed file asks again
    QThreadPool::globalInstance()->start([release = release_, running = running_,
                                          libraryPages = std::exchange(libraryPagesDue_, false)] {
        release(libraryPages);
        running->store(false);
    });
}

void FreedMemory::releaseToSystem(bool libraryPages) {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    if (libraryPages)
        releaseUnmodifiedLibraryPages();
}
