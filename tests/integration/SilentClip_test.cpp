#include "platform/MpvPlayer.h"
#include "platform/SilentClip.h"
#include "support/WaitForStart.h"
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SilentClip, IsWrittenOnceAndAgainWhenRemoved) {
    const QString path = silentClipPath();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(path.endsWith(QLatin1String(".wav")));
    const QByteArray bytes = contents(path);
    ASSERT_GT(bytes.size(), 44);
    EXPECT_TRUE(bytes.startsWith("RIFF"));
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("WAVE"));
    EXPECT_EQ(silentClipPath(), path);

    ASSERT_TRUE(QFile::remove(path));
    const QString again = silentClipPath();
    EXPECT_EQ(contents(again), bytes);
}

TEST(SilentClip, PlaysToItsEnd) {
    MpvPlayer::Options options;
    options.ao = QStringLiteral("null");
    options.vo = QStringLiteral("null");
    options.untimed = true;
    MpvPlayer player(options);
    ASSERT_TRUE(waitForStart(player));
    ASSERT_TRUE(player.isReady()) << player.lastError().toStdString();
    std::vector<int> reasons;
    QEventLoop loop;
    QObject::connect(&player, &MediaPlayer::endOfPlayback, [&](int reason) {
        reasons.push_back(reason);
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit); // only against hanging
    player.setMedia(silentClipPath());
    loop.exec();
    EXPECT_EQ(reasons, std::vector<int>{MediaPlayer::Finished});
}

} // namespace
