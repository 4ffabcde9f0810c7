// A long run of the real main window and the real engine: a queue of 500 clips of 0.2 s (WAV, MP3 and AVI,
// some missing, some broken) plays down to empty while a driver presses Skip, Back, Pause and seeks at random
// moments. It reports whether the entries left the queue in their order (a wrong entry removed breaks it),
// the longest time the window could not answer, and the resident memory before and after. Needs a display
// for the video clips: run it under xvfb-run.
#include "BenchSeams.h"
#include "MemoryProbe.h"
#include "QueueRun.h"
#include "StallProbe.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/MemorySettingsStore.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/main/Form1.h"
#include "ui/screen/ScreenHost.h"
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// KIVO_SOAK_CLIPS shortens the run, for a pass under valgrind or heaptrack.
const int kClips = [] {
    const int asked = qEnvironmentVariableIntValue("KIVO_SOAK_CLIPS");
    return asked > 0 ? asked : 500;
}();

void run(const QString& program, const QStringList& arguments) {
    QProcess::execute(program, arguments);
}

// Three real clips, copied under many names, and the damaged kinds beside them.
QStringList makeClips(const QTemporaryDir& dir) {
    const QString wav = dir.filePath(QStringLiteral("source.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("source.mp3"));
    const QString avi = dir.filePath(QStringLiteral("source.avi"));
    run(QStringLiteral("sox"), {"-n", "-r", "44100", wav, "synth", "0.2", "sine", "440"});
    run(QStringLiteral("ffmpeg"), {"-v", "quiet", "-y", "-i", wav, mp3});
    run(QStringLiteral("ffmpeg"),
        {"-v", "quiet", "-y", "-f", "lavfi", "-i", "testsrc=d=0.2:s=160x120:r=25", avi});
    QFile::resize(dir.filePath(QStringLiteral("cut.avi")), 0);
    QFile::copy(avi, dir.filePath(QStringLiteral("cut.avi")));
    QFile::resize(dir.filePath(QStringLiteral("cut.avi")), 2048);
    QStringList paths;
    for (int i = 0; i < kClips; ++i) {
        const QString name = dir.filePath(QStringLiteral("clip %1").arg(i, 3, 10, QLatin1Char('0')));
        switch (i % 10) {
        case 7: // missing
            paths << name + QStringLiteral(".mp3");
            break;
        case 8: { // a text file named like a song
            QFile text(name + QStringLiteral(".mp3"));
            if (text.open(QIODevice::WriteOnly))
                text.write("not a song\n");
            paths << text.fileName();
            break;
        }
        case 9: // a video cut short
            QFile::copy(dir.filePath(QStringLiteral("cut.avi")), name + QStringLiteral(".avi"));
            paths << name + QStringLiteral(".avi");
            break;
        default: {
            const QString& source = i % 3 == 0 ? wav : i % 3 == 1 ? mp3 : avi;
            const QString path = name + source.mid(source.lastIndexOf(QLatin1Char('.')));
            QFile::copy(source, path);
            paths << path;
        }
        }
    }
    return paths;
}

// One set of counters per point of the run: rss_after_100_kb, malloc_free_after_100_kb and so on.
void report(benchmark::State& state, const char* point, const MemoryBreakdown& b) {
    const auto put = [&](const char* what, long kb) {
        state.counters[QByteArray(what).append("_after_").append(point).append("_kb").toStdString()] =
            double(kb);
    };
    put("rss", b.residentKb);
    put("malloc_in_use", b.mallocInUseKb);
    put("malloc_free", b.mallocFreeKb);
    put("heap_map", b.heapKb);
    put("anon_map", b.anonymousKb);
    put("library_map", b.libraryKb);
    put("file_map", b.otherFileKb);
}

void BM_SoakOf500Clips(benchmark::State& state) {
    for (auto _ : state) {
        qputenv("KIVO_MPV_AO", "null");
        QTemporaryDir dir;
        MemorySettingsStore store;
        SettingsTable table{QStringLiteral("bench"), QDir::tempPath()};
        NoKeys keys;
        NoDialogs dialogs;
        NoShell shell;
        AppState appState;
        MainWindowState fields;
        Playlists playlists;
        ScreenHost host{appState, dialogs};
        auto form = std::make_unique<Form1>(
            Form1Context{appState, fields, playlists, store, table, keys, dialogs, shell, host});
        form->Form_Load({});
        form->show();
        const QStringList paths = makeClips(dir);
        PlaylistModel& queue = playlists.at(Playlists::kA);
        for (const QString& path : paths)
            queue.append(QFileInfo(path).fileName(), path);
        QStringList leftInOrder;
        QObject::connect(&queue, &QAbstractItemModel::rowsAboutToBeRemoved,
                         [&](const QModelIndex&, int first, int last) {
                             for (int row = first; row <= last; ++row)
                                 leftInOrder << queue.name(row);
                         });

        Transport& transport = form->transport();
        transport.CmdPLAY_Click();
        QCoreApplication::processEvents();
        StallProbe probe;
        probe.start();
        QRandomGenerator random(1206);
        MemoryBreakdown after100, after300;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            driver.setInterval(20 + random.bounded(180));
            // Every kind of clip has played and been pressed on many times by then: what grows after it grows
            // with the length of the run.
            // Reading the mappings and malloc's pools takes tens of milliseconds.
            if (after100.residentKb == 0 && queue.count() <= kClips - 100) {
                after100 = MemoryBreakdown::now();
                probe.forgive();
            }
            if (after300.residentKb == 0 && queue.count() <= kClips - 300) {
                after300 = MemoryBreakdown::now();
                probe.forgive();
            }
            if (!transport.playing())
                return;
            switch (random.bounded(6)) {
            case 0:
                transport.cmdSkip_Click();
                break;
            case 1:
                transport.CmdPreSkip_Click();
                break;
            case 2:
                transport.CmdPause_Click();
                QTimer::singleShot(20 + random.bounded(200), &transport, [&transport] {
                    if (transport.playing())
                        transport.CmdPause_Click();
                });
                break;
            case 3:
                transport.Pictimer_MouseDown(Qt::RightButton, random.bounded(3000));
                break;
            default: // let it play
                break;
            }
        });
        driver.start(100);
        const double queueSeconds = playQueueDown(queue, transport, 600'000);
        driver.stop();
        QCoreApplication::processEvents();
        QStringList expected;
        for (const QString& path : paths)
            expected << QFileInfo(path).fileName();
        state.counters["removed_in_order"] = leftInOrder == expected ? 1 : 0;
        state.counters["left_in_queue"] = queue.count();
        state.counters["longest_stall_ms"] = probe.longestMs();
        state.counters["queue_s"] = queueSeconds;
        report(state, "100", after100);
        report(state, "300", after300);
        // The player hands freed memory back within 2 s of a file closing.
        QEventLoop settle;
        QTimer::singleShot(3000, &settle, &QEventLoop::quit);
        settle.exec();
        report(state, "run", MemoryBreakdown::now());
    }
}
BENCHMARK(BM_SoakOf500Clips)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
