#include "playlist/DeviceTransfer.h"
#include "playlist/PlaylistModel.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <unistd.h>

namespace {
constexpr int kFiles = 200;
constexpr qint64 kFileBytes = 1 << 20;

// 200 files of 1 MB, and a folder standing for the player: beside them, or on a file system in memory
// (another file system, which the kernel does not copy onto by itself).
struct Music {
    QTemporaryDir dir;
    QTemporaryDir elsewhere{QStringLiteral("/dev/shm/kivo-device-XXXXXX")};
    QStringList files;
    QString device;

    Music() {
        QByteArray bytes(kFileBytes, '\0');
        for (qint64 i = 0; i < kFileBytes; ++i)
            bytes[i] = static_cast<char>((i * 7919) >> 3);
        QDir().mkpath(dir.filePath(QStringLiteral("music")));
        for (int i = 0; i < kFiles; ++i) {
            files << dir.filePath(QStringLiteral("music/Track %1.mp3").arg(i, 3, 10, QChar('0')));
            QFile file(files.back());
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != kFileBytes)
                std::abort();
        }
    }
    void placeDevice(bool otherFileSystem) {
        device = (otherFileSystem ? elsewhere.path() : dir.path()) + QStringLiteral("/device");
    }
    // An empty device folder, and nothing left for the disk to write back, so that each copy starts alike.
    void emptyDevice() {
        QDir(device).removeRecursively();
        QDir().mkpath(device);
        ::sync();
    }
    static Music& get() {
        static Music music;
        return music;
    }
};

double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

double transferOnce(Music& music) {
    PlaylistModel list;
    for (const QString& file : music.files)
        list.append(QFileInfo(file).fileName(), file);
    DeviceTransfer transfer(list, {});
    QElapsedTimer timer;
    timer.start();
    transfer.start(music.device + QLatin1Char('/'), false);
    while (transfer.running())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double taken = seconds(timer);
    if (!list.isEmpty())
        std::abort();
    return taken;
}

double cpOnce(Music& music) {
    QElapsedTimer timer;
    timer.start();
    // The transfer ends with the files on the device; so does this.
    const int status = QProcess::execute(QStringLiteral("cp"), QStringList(music.files) << music.device) |
                       QProcess::execute(QStringLiteral("sync"), {QStringLiteral("-f"), music.device});
    const double taken = seconds(timer);
    if (status != 0)
        std::abort();
    return taken;
}

// The transfer of the device tab against `cp` (then `sync -f`) of the same files into the same kind of
// folder, one after the other in each iteration. The iteration time is the transfer's; the counters give both
// throughputs in MB/s and the transfer's share of cp's (the aim is 0.8 or more). Argument 0: the player's
// folder is on the file system of the music; 1: on another one.
void BM_TransferAgainstCp(benchmark::State& state) {
    Music& music = Music::get();
    music.placeDevice(state.range(0) == 1);
    if (state.range(0) == 1 && !music.elsewhere.isValid()) {
        state.SkipWithError("no /dev/shm");
        return;
    }
    double transferTime = 0, cpTime = 0;
    for (auto _ : state) {
        music.emptyDevice();
        const double t = transferOnce(music);
        music.emptyDevice();
        cpTime += cpOnce(music);
        transferTime += t;
        state.SetIterationTime(t);
    }
    const double megabytes = double(kFiles) * double(kFileBytes) * double(state.iterations()) / 1e6;
    state.counters["transfer_MBps"] = megabytes / transferTime;
    state.counters["cp_MBps"] = megabytes / cpTime;
    state.counters["ratio"] = cpTime / transferTime;
    QDir(music.device).removeRecursively();
}
BENCHMARK(BM_TransferAgainstCp)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace
