// The pause between tracks: one 3 s tone cut into six pieces of 0.5 s, played through the real main window
// and engine (null audio output, paced like a sound card), with and without gapless playback; mpv's own
// player on the same files, with the player's null output settings, is the reference. Each figure is
// milliseconds of pause per joint; the null output takes samples in bursts of 93 ms, so single joints are
// measured to that grain, and the means of several runs are what count.
#include "RealWindow.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "ui/main/Form1.h"
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int kPieces = 6;

struct Tone {
    QTemporaryDir dir;
    QString whole = dir.filePath(QStringLiteral("whole.wav"));
    QStringList pieces;
    Tone() {
        QProcess::execute(QStringLiteral("sox"),
                          {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), whole,
                           QStringLiteral("synth"), QStringLiteral("3"), QStringLiteral("sine"),
                           QStringLiteral("440")});
        for (int i = 0; i < kPieces; ++i) {
            pieces << dir.filePath(QStringLiteral("piece %1.wav").arg(i));
            QProcess::execute(QStringLiteral("sox"),
                              {whole, pieces.last(), QStringLiteral("trim"),
                               QStringLiteral("%1s").arg(i * 22050), QStringLiteral("22050s")});
        }
    }
};
const Tone& tone() {
    static const Tone made;
    return made;
}

// The pause at each joint, through the real window: the mean time from one track change to the next, less
// the piece's length. The first piece is left out: the output's buffer fills faster than real time at first.
double pausePerJointMs(bool gapless) {
    RealWindow w;
    w.state.gapless = gapless;
    for (const QString& file : tone().pieces)
        w.playlists.at(Playlists::kA).append(QFileInfo(file).fileName(), file);
    Transport& transport = w.form->transport();
    QEventLoop loop;
    QElapsedTimer clock;
    std::vector<double> changes; // seconds
    QString playing;
    QObject::connect(&transport, &Transport::playbackChanged, &loop, [&] {
        if (transport.track().path == playing)
            return;
        playing = transport.track().path;
        changes.push_back(clock.nsecsElapsed() / 1e9);
        if (w.playlists.at(Playlists::kA).isEmpty() && !transport.playing())
            loop.quit();
    });
    QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
    clock.start();
    transport.CmdPLAY_Click();
    loop.exec();
    if (changes.size() != kPieces + 1)
        return -1;
    return ((changes.back() - changes[1]) / (kPieces - 1) - 0.5) * 1000;
}

double playWithMpv(const QStringList& files, const char* gapless) {
    QElapsedTimer clock;
    clock.start();
    QProcess::execute(QStringLiteral("mpv"),
                      QStringList{QStringLiteral("--no-config"), QStringLiteral("--ao=null"),
                                  QStringLiteral("--really-quiet"), QStringLiteral("--ao-null-outburst=4096"),
                                  QStringLiteral("--ao-null-buffer=0.75"),
                                  QStringLiteral("--gapless-audio=%1").arg(gapless)} +
                          files);
    return clock.nsecsElapsed() / 1e9;
}

void BM_PauseBetweenTracks(benchmark::State& run) {
    const Tone& t = tone();
    for (auto _ : run) {
        run.counters["player_gapless_ms"] = pausePerJointMs(true);
        run.counters["player_stop_start_ms"] = pausePerJointMs(false);
        // mpv's figure: the time the pieces take beyond the whole tone, per joint.
        const double whole = playWithMpv({t.whole}, "yes");
        auto perJoint = [whole](double pieces) {
            return (pieces - whole) * 1000 / (kPieces - 1);
        };
        run.counters["mpv_gapless_ms"] = perJoint(playWithMpv(t.pieces, "yes"));
        run.counters["mpv_no_gapless_ms"] = perJoint(playWithMpv(t.pieces, "no"));
    }
}
BENCHMARK(BM_PauseBetweenTracks)->Unit(benchmark::kSecond)->Iterations(3);

} // namespace
