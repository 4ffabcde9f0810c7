#include "platform/FreedMemory.h"
#include <QFile>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Releases {
    std::atomic<int> count{0};
    std::atomic<bool> onCallersThread{false};
    std::atomic<bool> hold{false}; // keeps a release busy until cleared
    FreedMemory::Release release() {
        QThread* caller = QThread::currentThread();
        return [this, caller] {
            if (QThread::currentThread() == caller)
                onCallersThread = true;
            while (hold)
                std::this_thread::sleep_for(1ms);
            ++count;
        };
    }
};

long residentAnonymousKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').first().toLong();
    return 0;
}

} // namespace

TEST(FreedMemory, FilesClosingOneAfterAnotherGiveOneReleaseOffTheCallersThread) {
    Releases releases;
    FreedMemory memory(50ms, releases.release());
    for (int i = 0; i < 20; ++i) {
        memory.releaseSoon();
        QTest::qWait(1);
    }
    EXPECT_EQ(releases.count, 0) << "a release waits for the interval";
    EXPECT_TRUE(QTest::qWaitFor([&] { return releases.count == 1; }, 5000));
    QTest::qWait(150);
    EXPECT_EQ(releases.count, 1);
    EXPECT_FALSE(releases.onCallersThread);

    memory.releaseSoon(); // a later file closing asks again
    EXPECT_TRUE(QTest::qWaitFor([&] { return releases.count == 2; }, 5000));
}

TEST(FreedMemory, ARequestWhileAReleaseRunsStartsNoSecondOne) {
    Releases releases;
    releases.hold = true;
    {
        FreedMemory memory(10ms, releases.release());
        memory.releaseSoon();
        QTest::qWait(60); // the first release has started and is held
        memory.releaseSoon();
        QTest::qWait(60);
        releases.hold = false;
    } // the release under way outlives its owner
    EXPECT_TRUE(QTest::qWaitFor([&] { return releases.count == 1; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(releases.count, 1);
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(FreedMemory, WhatAnotherThreadFreedLeavesTheResidentMemory) {
    // Blocks freed between blocks still in use: the C library cannot shrink its pool by itself.
    constexpr int kBlocks = 512;
    constexpr std::size_t kBlock = 64 * 1024;
    std::vector<char*> kept;
    std::thread([&] {
        for (int i = 0; i < kBlocks; ++i) {
            char* block = static_cast<char*>(std::malloc(kBlock));
            for (std::size_t at = 0; at < kBlock; at += 512)
                block[at] = char(i);
            kept.push_back(block);
        }
        for (int i = 0; i < kBlocks; ++i)
            if (i % 8 != 7)
                std::free(std::exchange(kept[i], nullptr));
    }).join();
    const long before = residentAnonymousKb();
    FreedMemory::releaseToSystem();
    const long after = residentAnonymousKb();
    for (char* block : kept)
        std::free(block);
    const long freedKb = long(kBlocks / 8 * 7 * kBlock / 1024);
    EXPECT_GT(before - after, freedKb / 2) << before << " kB before, " << after << " after";
}
#endif
