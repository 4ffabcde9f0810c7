// The video window with the real engine drawing into it through OpenGL, on a virtual display, under the
// sanitizers: showing a video and closing the window leave nothing that runs on a half-destroyed object.
#include "core/AppState.h"
#include "platform/MediaPlayer.h"
#include "support/FakeSeams.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include "ui/screen/ScreenHost.h"
#include "ui/screen/frmScreen.h"
#include <QProcess>
#include <gtest/gtest.h>

TEST(VideoWindow, ShowsAVideoAndClosesCleanlyEvenWhileTheDriverLoads) {
    TempDir dir;
    const QString video = dir.file("clip.avi");
    QProcess::execute("ffmpeg", {"-loglevel", "error", "-f", "lavfi", "-i", "testsrc=d=5:s=160x120:r=10",
                                 "-c:v", "mjpeg", video});
    AppState state;
    FakeDialogs dialogs;
    // Plain, then with the driver loading on its thread while the window makes its own context and the main
    // window's unload first, as at shut-down.
    for (bool prepared : {false, true}) {
        auto host = std::make_unique<ScreenHost>(state, dialogs);
        QSize size;
        QObject::connect(&host->player(), &MediaPlayer::videoSizeChanged, [&](QSize s) { size = s; });
        if (prepared)
            host->prepareVideo();
        host->screen().show();
        host->player().setMedia(video);
        ASSERT_TRUE(waitUntil([&] { return host->player().currentPosition() > 0.5; }, 20000)) << prepared;
        EXPECT_EQ(size, QSize(160, 120));
        if (prepared)
            host->closeScreen();
    }
    // Closed while the driver still loads: the close waits for it.
    auto host = std::make_unique<ScreenHost>(state, dialogs);
    host->prepareVideo();
    host->prepareVideo(); // asked again: nothing more
    host.reset();
    EXPECT_TRUE(dialogs.messages.empty());
}
