// The program killed outright while it writes a file leaves that file as it
// was before the write or as the write meant it, whole: never a mix, never
// cut short. Each target is killed at many points of its writes.
#include "crash/CrashWrites.h"
#include "support/TempDir.h"
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct Case {
    const char* target;
    const char* fileName;
};

class CrashSafety : public ::testing::TestWithParam<Case> {};

// The writer's next line; empty when it said nothing more.
QByteArray nextLine(QProcess& writer) {
    while (!writer.canReadLine())
        if (!writer.waitForReadyRead(20000))
            return {};
    return writer.readLine().trimmed();
}

TEST_P(CrashSafety, AKilledWriteLeavesTheOldOrTheNewFileWhole) {
    const CrashTarget target = crashTargetNamed(GetParam().target);
    const QByteArray versions[] = {crashVersionBytes(target, 0), crashVersionBytes(target, 1)};
    ASSERT_NE(versions[0], versions[1]);
    TempDir dir;
    const QString path = dir.file(GetParam().fileName);
    QRandomGenerator random(20261206);
    int seen[2] = {0, 0};
    int insideAWrite = 0;
    constexpr int kKills = 40;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(KIVO_CRASH_WRITER), {GetParam().target, path});
        ASSERT_EQ(nextLine(writer), "ready") << "the writer did not start";
        // Zero to two whole writes, then a kill at a random point of the
        // next one, timed by the length of the last.
        qint64 writeUs = 2000;
        const int wholeWrites = static_cast<int>(random.bounded(3));
        for (int i = 0; i < wholeWrites; ++i) {
            ASSERT_EQ(nextLine(writer), "begin");
            QElapsedTimer timer;
            timer.start();
            ASSERT_EQ(nextLine(writer), "end");
            writeUs = std::max<qint64>(timer.nsecsElapsed() / 1000, 1000);
        }
        ASSERT_EQ(nextLine(writer), "begin");
        QThread::usleep(static_cast<unsigned long>(random.bounded(writeUs)));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << "the writer stopped by itself";
        const QList<QByteArray> rest = writer.readAllStandardOutput().trimmed().split('\n');
        if (rest.last().isEmpty() || rest.last() == "begin")
            ++insideAWrite;
        const QByteArray after = readAll(path);
        const int version = after == versions[0] ? 0 : after == versions[1] ? 1 : -1;
        ASSERT_NE(version, -1) << "kill " << kill << " left " << after.size() << " bytes, neither version";
        ++seen[version];
    }
    // Both versions were met, and kills did land inside writes.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(insideAWrite, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, CrashSafety,
                         ::testing::Values(Case{"playlist", "list.KVPL"}, Case{"export", "settings.KVPS"},
                                           Case{"tag", "song.mp3"}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.target);
                         });

} // namespace
