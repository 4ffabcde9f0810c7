// The program killed outright while it writes a file leaves that file as it was before the write or as the
// write meant it, whole: never a mix, never cut short. Each target is killed at many points of its writes.
#include "crash/CrashWrites.h"
#include "support/TempDir.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using Target = std::pair<const char*, const char*>; // a target and the name its file is written under
class CrashSafety : public ::testing::TestWithParam<Target> {};

// The writer's next line; empty when it said nothing more.
QByteArray nextLine(QProcess& writer) {
    while (!writer.canReadLine())
        if (!writer.waitForReadyRead(20000))
            return {};
    return writer.readLine().trimmed();
}

TEST_P(CrashSafety, AKilledWriteLeavesTheOldOrTheNewFileWhole) {
    const auto [target, fileName] = GetParam();
    const QByteArray versions[] = {crashVersionBytes(target, 0), crashVersionBytes(target, 1)};
    ASSERT_NE(versions[0], versions[1]);
    TempDir dir;
    const QString path = dir.file(fileName);
    QRandomGenerator random(20261206);
    int seen[2] = {0, 0}, insideAWrite = 0;
    for (int kill = 0; kill < 40; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(KIVO_CRASH_WRITER), {target, path});
        ASSERT_EQ(nextLine(writer), "ready") << "the writer did not start";
        // Zero to two whole writes, then a kill at a random point of the next one, timed by the last.
        qint64 writeUs = 2000;
        for (int i = random.bounded(3); i > 0; --i) {
            ASSERT_EQ(nextLine(writer), "begin");
            QElapsedTimer timer;
            timer.start();
            ASSERT_EQ(nextLine(writer), "end");
            writeUs = std::max<qint64>(timer.nsecsElapsed() / 1000, 1000);
        }
        ASSERT_EQ(nextLine(writer), "begin");
        QThread::usleep(random.bounded(writeUs));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << "the writer stopped by itself";
        const QByteArray said = writer.readAllStandardOutput().trimmed();
        insideAWrite += said.isEmpty() || said.endsWith("begin");
        const QByteArray after = readAll(path);
        const int version = after == versions[0] ? 0 : after == versions[1] ? 1 : -1;
        ASSERT_NE(version, -1) << "kill " << kill << " left " << after.size() << " bytes, neither version";
        ++seen[version];
    }
    EXPECT_TRUE(seen[0] && seen[1] && insideAWrite) << seen[0] << " " << seen[1] << " " << insideAWrite;
}

INSTANTIATE_TEST_SUITE_P(Files, CrashSafety,
                         ::testing::Values(Target{"playlist", "list.KVPL"}, Target{"export", "settings.KVPS"},
                                           Target{"tag", "song.mp3"}),
                         [](const auto& info) { return std::string(info.param.first); });

} // namespace
