// The video window with the real engine drawing into it through OpenGL, on a real (virtual) display. This
// executable is built with the address and undefined-behaviour sanitizers: showing a video and closing
// the window must leave nothing behind that runs on a half-destroyed object.
#include "core/AppState.h"
#include "platform/MediaPlayer.h"
#include "platform/MpvPlayer.h"
#include "support/FakeSeams.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include "ui/screen/ScreenHost.h"
#include "ui/screen/frmScreen.h"
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QString makeVideo(const TempDir& dir) {
    const QString path = dir.file(QStringLiteral("clip.avi"));
    QProcess::execute(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                       QStringLiteral("lavfi"), QStringLiteral("-i"),
                       QStringLiteral("testsrc=d=5:s=160x120:r=10"), QStringLiteral("-c:v"),
                       QStringLiteral("mjpeg"), path});
    return path;
}

TEST(VideoWindow, ShowsAVideoAndClosesCleanly) {
    TempDir dir;
    const QString video = makeVideo(dir);
    AppState state;
    FakeDialogs dialogs;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        auto host = std::make_unique<ScreenHost>(state, dialogs);
        MediaPlayer& player = host->player();
        QSize size;
        QObject::connect(&player, &MediaPlayer::videoSizeChanged, [&](QSize s) { size = s; });
        if (round == 1)
            host->prepareVideo(); // the driver loads on its thread while the window makes its own context
        host->screen().show();
        player.setMedia(video);
        ASSERT_TRUE(waitUntil([&] { return player.currentPosition() > 0.5; }, 20000));
        EXPECT_EQ(size, QSize(160, 120));
        if (round == 1)
            host->closeScreen(); // the main window's unload first, as at shut-down
        host.reset();
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(VideoWindow, ClosingWhileTheVideoIsPreparedWaitsForIt) {
    AppState state;
    FakeDialogs dialogs;
    auto host = std::make_unique<ScreenHost>(state, dialogs);
    host->prepareVideo();
    host->prepareVideo(); // asked again: nothing more
    host.reset();
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
