// How long the window waits for the playback engine: a queue of 20 clips of 1.5 s plays through the real
// main window and the real engine (null audio output, paced like a sound card) while Stop and Play, Back,
// Pause and Skip are pressed near the ends of tracks. A 10 ms timer probes the event loop; the longest
// delay of a probe is the longest time the window could not answer.
#include "QueueRun.h"
#include "RealWindow.h"
#include "StallProbe.h"
#include "platform/MediaPlayer.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "ui/main/Form1.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

constexpr int kClips = 20;

struct PlayingWindow : RealWindow {
    QTemporaryDir dir;

    PlayingWindow() {
        for (int i = 0; i < kClips; ++i) {
            const QString path = dir.filePath(QStringLiteral("clip %1.wav").arg(i));
            QProcess::execute(QStringLiteral("sox"),
                              {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), path,
                               QStringLiteral("synth"), QStringLiteral("1.5"), QStringLiteral("sine"),
                               QStringLiteral("%1").arg(300 + 20 * i)});
            playlists.at(Playlists::kA).append(QStringLiteral("clip %1.wav").arg(i), path);
        }
    }
};

// Presses buttons at set places of set tracks: track k (counted from the start of the queue) gets action
// k % 5 once its clock passes the moment given.
class Presser {
public:
    explicit Presser(PlayingWindow& window) : w_(window) {
        QObject::connect(&tick_, &QTimer::timeout, [this] { step(); });
    }
    void start() { tick_.start(20); }

private:
    void step() {
        Transport& transport = w_.form->transport();
        const int track = kClips - w_.playlists.at(Playlists::kA).count();
        if (!transport.playing() || track == done_ || !w_.host.started())
            return;
        const double at = w_.host.player().currentPosition();
        switch (track % 5) {
        case 1: // Stop late in the track, Play again a moment later: it starts over
            if (at > 1.25) {
                done_ = track;
                transport.CmdSTOP_Click();
                QTimer::singleShot(200, [&transport] { transport.CmdPLAY_Click(); });
            }
            break;
        case 2: // Back in the last quarter second
            if (at > 1.3) {
                done_ = track;
                transport.CmdPreSkip_Click();
            }
            break;
        case 3: // Pause in the last quarter second, go on after a moment
            if (at > 1.3) {
                done_ = track;
                transport.CmdPause_Click();
                QTimer::singleShot(300, [&transport] { transport.CmdPause_Click(); });
            }
            break;
        case 4: // Skip near the end
            if (at > 1.35) {
                done_ = track;
                transport.cmdSkip_Click();
            }
            break;
        default:
            break;
        }
    }
    PlayingWindow& w_;
    QTimer tick_;
    int done_ = -1;
};

void BM_EventLoopStallWhilePlayingAQueue(benchmark::State& run) {
    for (auto _ : run) {
        PlayingWindow window;
        StallProbe probe;
        Presser presser(window);
        QCoreApplication::processEvents();

        QElapsedTimer firstPlay;
        firstPlay.start();
        window.form->transport().CmdPLAY_Click(); // starts the engine
        const double engineStartMs = firstPlay.nsecsElapsed() / 1e6;

        probe.start();
        presser.start();
        const double queueSeconds =
            playQueueDown(window.playlists.at(Playlists::kA), window.form->transport(), 120'000);
        run.counters["longest_stall_ms"] = probe.longestMs();
        run.counters["engine_start_ms"] = engineStartMs;
        run.counters["queue_s"] = queueSeconds;
        run.counters["left_in_queue"] = window.playlists.at(Playlists::kA).count();
    }
}
BENCHMARK(BM_EventLoopStallWhilePlayingAQueue)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
