#include "MemoryProbe.h"
#include "platform/Dialogs.h"
#include "playlist/ExistingFiles.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistFileOps.h"
#include "playlist/PlaylistModel.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <unistd.h>

namespace {
constexpr int kEntries = 32767;

class SilentDialogs : public Dialogs {
public:
    int messages = 0;
    void message(const QString&, const QString&) override { ++messages; }
    std::optional<QString> saveFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> openFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }
};

// A full playlist of media files that exist, written once as a playlist file.
struct FullPlaylist {
    QTemporaryDir dir;
    std::vector<PlaylistEntry> entries;
    QString listPath;

    FullPlaylist() {
        // The media files are hard links to one empty file: each is a file of
        // its own to the loader, and making them costs no new inodes.
        const QByteArray original = QFile::encodeName(dir.filePath(QStringLiteral("original.mp3")));
        QFile first(QFile::decodeName(original));
        if (!first.open(QIODevice::WriteOnly))
            std::abort();
        entries.reserve(kEntries);
        for (int i = 0; i < kEntries; ++i) {
            const QString name =
                QStringLiteral("Track %1 - Some Artist - Some Title.mp3").arg(i, 5, 10, QChar('0'));
            const QString path = dir.filePath(QStringLiteral("album%1/%2").arg(i / 1000).arg(name));
            if (i % 1000 == 0)
                QDir().mkpath(QFileInfo(path).absolutePath());
            if (::link(original.constData(), QFile::encodeName(path).constData()) != 0)
                std::abort();
            entries.push_back({name, path, false});
        }
        PlaylistModel model;
        model.appendEntries(entries);
        listPath = dir.filePath(QStringLiteral("full.KVPL"));
        if (!writePlaylistFile(model, listPath))
            std::abort();
    }
    static FullPlaylist& get() {
        static FullPlaylist playlist;
        return playlist;
    }
};

// A model shown by a list view set up as the main window's playlist lists
// are (one row height for all entries).
struct ShownPlaylist {
    PlaylistModel model;
    QListView view;
    ShownPlaylist() {
        view.setModel(&model);
        view.setUniformItemSizes(true);
        view.resize(300, 400);
        view.show();
        QCoreApplication::processEvents();
    }
};

void BM_LoadFullPlaylist(benchmark::State& state) {
    const FullPlaylist& full = FullPlaylist::get();
    ShownPlaylist shown;
    SilentDialogs dialogs;
    for (auto _ : state) {
        state.PauseTiming();
        shown.model.clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        LoadPlaylistFile(shown.model, full.listPath, dialogs);
        QCoreApplication::processEvents(); // the view catches up
    }
    if (shown.model.count() != kEntries || dialogs.messages != 0)
        state.SkipWithError("the playlist did not load whole");
}

void BM_SaveFullPlaylist(benchmark::State& state) {
    const FullPlaylist& full = FullPlaylist::get();
    PlaylistModel model;
    model.appendEntries(full.entries);
    const QString target = full.dir.filePath(QStringLiteral("saved.KVPL"));
    for (auto _ : state)
        if (!writePlaylistFile(model, target))
            state.SkipWithError("the playlist could not be written");
}

void BM_ClearFullPlaylist(benchmark::State& state) {
    const FullPlaylist& full = FullPlaylist::get();
    ShownPlaylist shown;
    for (auto _ : state) {
        state.PauseTiming();
        shown.model.appendEntries(full.entries);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        shown.model.clear();
        QCoreApplication::processEvents();
    }
}
} // namespace

BENCHMARK(BM_LoadFullPlaylist)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveFullPlaylist)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClearFullPlaylist)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
namespace {
// The existence check of a load on its own: one system call per path, and
// the folder listings the loader uses.
void BM_ExistenceOneByOne(benchmark::State& state) {
    const FullPlaylist& full = FullPlaylist::get();
    for (auto _ : state)
        for (const PlaylistEntry& entry : full.entries)
            benchmark::DoNotOptimize(isExistingFile(entry.path));
}

void BM_ExistenceListed(benchmark::State& state) {
    const FullPlaylist& full = FullPlaylist::get();
    for (auto _ : state) {
        ExistingFiles exists;
        for (const PlaylistEntry& entry : full.entries)
            benchmark::DoNotOptimize(exists(entry.path));
    }
}
} // namespace

BENCHMARK(BM_ExistenceOneByOne)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ExistenceListed)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
namespace {
// A million entries of ordinary paths read from a playlist file into a list
// shown as the main window shows one: the memory it holds (resident, and in
// use by the allocator), and the time.
void BM_MillionEntriesMemory(benchmark::State& state) {
    QByteArray file;
    for (int i = 0; i < kMaxPlaylistEntries; ++i) {
        const QByteArray name = "Track " + QByteArray::number(i % 20 + 1) + " - Some Title.mp3";
        file += name + "*/home/alice/Music/Artist " + QByteArray::number(i / 200) + "/Album " +
                QByteArray::number(i / 20 % 10) + "/" + name + "\r\n";
    }
    file += "!@#$%\r\n";
    for (auto _ : state) {
        malloc_trim(0);
        const MemoryBreakdown before = MemoryBreakdown::now();
        {
            ShownPlaylist shown;
            shown.model.appendEntries(readPlaylist(file).entries);
            QCoreApplication::processEvents();
            const MemoryBreakdown after = MemoryBreakdown::now();
            state.counters["resident_MB"] = double(after.residentKb - before.residentKb) / 1024;
            state.counters["in_use_MB"] = double(after.mallocInUseKb - before.mallocInUseKb) / 1024;
            state.counters["in_use_bytes_per_entry"] =
                double(after.mallocInUseKb - before.mallocInUseKb) * 1024 / kMaxPlaylistEntries;
            if (shown.model.count() != kMaxPlaylistEntries)
                state.SkipWithError("the list did not take every entry");
        }
    }
}

// The existence check of a load whose entries all name a folder that is not there.
void BM_ExistenceMissingFolder(benchmark::State& state) {
    std::vector<QString> paths;
    for (int i = 0; i < kMaxPlaylistEntries; ++i)
        paths.push_back(QStringLiteral("/nowhere/gone/Track %1.mp3").arg(i));
    for (auto _ : state) {
        ExistingFiles exists;
        for (const QString& path : paths)
            benchmark::DoNotOptimize(exists(path));
    }
}
} // namespace

BENCHMARK(BM_MillionEntriesMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ExistenceMissingFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
