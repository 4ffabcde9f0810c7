// The program killed outright while it writes a file leaves that file as it
// was before the write or as the write meant it, whole: never a mix, never
// cut short. Each target is killed at many points of its writes.
#include "crash/CrashWrites.h"
#include "support/TempDir.h"
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct Case {
    const char* target;
    const char* fileName;
};

class CrashSafety : public ::testing::TestWithParam<Case> {};

TEST_P(CrashSafety, AKilledWriteLeavesTheOldOrTheNewFileWhole) {
    const CrashTarget target = crashTargetNamed(GetParam().target);
    const QByteArray versions[] = {crashVersionBytes(target, 0), crashVersionBytes(target, 1)};
    ASSERT_NE(versions[0], versions[1]);
    TempDir dir;
    const QString path = dir.file(GetParam().fileName);
    QRandomGenerator random(20261206);
    int seen[2] = {0, 0};
    constexpr int kKills = 40;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(KIVO_CRASH_WRITER), {GetParam().target, path});
        ASSERT_TRUE(writer.waitForReadyRead(20000)) << "the writer did not start";
        // Anywhere from the first write's start to a few writes later.
        QThread::usleep(random.bounded(60'000));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << "the writer stopped by itself";
        const QByteArray after = readAll(path);
        const int version = after == versions[0] ? 0 : after == versions[1] ? 1 : -1;
        ASSERT_NE(version, -1) << "kill " << kill << " left " << after.size() << " bytes, neither version";
        ++seen[version];
    }
    // Both versions were met: the kills did land between and inside writes.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}

INSTANTIATE_TEST_SUITE_P(Files, CrashSafety,
                         ::testing::Values(Case{"playlist", "list.KVPL"}, Case{"export", "settings.KVPS"},
                                           Case{"tag", "song.mp3"}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.target);
                         });

} // namespace
