#include "platform/FreedMemory.h"
#include "platform/LibraryPages.h"
#include <QThreadPool>
#include <thread>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

FreedMemory::FreedMemory(std::chrono::milliseconds interval, Release release, QObject* parent)
    : QObject(parent), release_(std::move(release)) {
    timer_.setSingleShot(true);
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, &FreedMemory::startRelease);
}

FreedMemory::~FreedMemory() {
    cancelled_->store(true);
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
    QThreadPool::globalInstance()->start([release = release_, running = running_, cancelled = cancelled_,
                                          libraryPages = std::exchange(libraryPagesDue_, false)] {
        release(libraryPages, *cancelled);
        running->store(false);
    });
}

void FreedMemory::releaseToSystem(bool libraryPages, const std::atomic<bool>& cancelled) {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    if (!libraryPages)
        return;
    // 16 MiB a step, some 40 steps a second: the engine's libraries take four steps or so. Each step walks
    // the loader's list and has the other processors flush their address caches, so that smaller steps
    // cost twice the processor time for no reply measurably sooner (bench/first_play_stall.sh).
    constexpr std::size_t kStepPages = 4096;
    constexpr auto kPause = std::chrono::milliseconds(25);
    LibraryPageRelease pages;
    while (!cancelled && pages.step(kStepPages)) {
        // In slices, so that a closing program does not wait for the pause.
        for (int slice = 0; slice < 5 && !cancelled; ++slice)
            std::this_thread::sleep_for(kPause / 5);
    }
}
