// The parts the engine wrapper is built from: the release of freed memory and the position estimate.
#include "platform/FreedMemory.h"
#include "platform/PositionEstimate.h"
#include "support/WaitUntil.h"
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <thread>
// Qt and gtest come with the test programs' precompiled headers.

namespace {
using namespace std::chrono_literals;

struct Releases {
    std::atomic<int> started{0}, count{0}, withPages{0};
    std::atomic<bool> onCallersThread{false}, hold{false}; // hold keeps a release busy until cleared
    FreedMemory::Release release() {
        return [this, caller = QThread::currentThread()](bool libraryPages, const std::atomic<bool>&) {
            ++started;
            withPages += libraryPages;
            onCallersThread = onCallersThread || QThread::currentThread() == caller;
            while (hold && !onCallersThread)
                std::this_thread::sleep_for(1ms);
            ++count;
        };
    }
};

// Returns once every timer of this thread due within `ms` has fired, however busy the machine.
void letTimersFire(std::chrono::milliseconds ms) {
    bool fired = false;
    QTimer::singleShot(ms, Qt::PreciseTimer, [&fired] { fired = true; });
    ASSERT_TRUE(waitUntil([&] { return fired; }, 60000));
}

} // namespace

TEST(FreedMemory, OneReleaseAtATimeWithinTheIntervalOffTheCallersThread) {
    Releases releases;
    releases.hold = true;
    auto memory = std::make_unique<FreedMemory>(100ms, releases.release());
    memory->releaseSoon();
    EXPECT_EQ(releases.started, 0) << "a release waits for the interval";
    // Files closing one after another (a request at each look) do not put the release off.
    ASSERT_TRUE(waitUntil([&] { return memory->releaseSoon(), releases.started > 0; }, 60000));
    memory->releaseLibraryPagesSoon(); // asked while one runs: no second one, and the pages stay due
    letTimersFire(300ms);
    releases.hold = false;
    QThreadPool::globalInstance()->waitForDone();
    letTimersFire(300ms); // with no request, no release follows
    EXPECT_EQ(releases.started + releases.count, 2);
    EXPECT_FALSE(releases.onCallersThread);
    releases.hold = true;
    memory->releaseSoon(); // a later file closing asks again
    EXPECT_TRUE(waitUntil([&] { return releases.started == 2; }, 60000));
    EXPECT_EQ(releases.withPages, 1);
    memory.reset(); // the release under way outlives its owner
    releases.hold = false;
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(releases.count, 2);
}

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
// Freed memory at the end of the heap goes back to the system when the release trims it.
TEST(FreedMemory, TheReleaseTrimsTheHeap) {
    mallopt(M_MMAP_THRESHOLD, 32 << 20); // a block from the heap,
    mallopt(M_TRIM_THRESHOLD, 1 << 30);  // which free() alone does not shrink
    void* volatile block = std::malloc(16 << 20);
    std::free(block);
    const std::size_t kept = mallinfo2().keepcost;
    FreedMemory::releaseToSystem(false, std::atomic<bool>(false));
    mallopt(M_MMAP_THRESHOLD, 128 << 10), mallopt(M_TRIM_THRESHOLD, 128 << 10); // the defaults again
    EXPECT_GT(kept, 8u << 20);
    EXPECT_LT(mallinfo2().keepcost, 1u << 20);
}
#endif

TEST(PositionEstimate, RunsOnFromTheLastReportOnlyWhilePlayingAndNeverFarBeyondIt) {
    qint64 ms = 5000;
    PositionEstimate position([&ms] { return ms; });
    position.set(2.0);
    ms += 300;
    EXPECT_DOUBLE_EQ(position.at(10), 2.0); // not running yet: a stopped or loading file stays put
    position.setRunning(true);
    ms += 400;
    EXPECT_DOUBLE_EQ(position.at(10), 2.4);
    position.setRunning(false); // paused: the position reached is kept, the time paused does not count
    ms += 5000;
    EXPECT_DOUBLE_EQ(position.at(10), 2.4);
    position.setRunning(true);
    ms += 100;
    EXPECT_DOUBLE_EQ(position.at(10), 2.5);
    position.set(1.0); // a report replaces the estimate
    EXPECT_DOUBLE_EQ(position.at(10), 1.0);
    ms += 30000; // no report for a long time: the engine may be stalled
    EXPECT_DOUBLE_EQ(position.at(0), 2.0);
    EXPECT_DOUBLE_EQ(position.at(1.5), 1.5);
    position.set(1.7); // a report beyond the length (a length rounded down) is not taken back
    EXPECT_DOUBLE_EQ(position.at(1.5), 1.7);
}
