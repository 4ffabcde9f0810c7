#include "browser/DirectoryListing.h"
#include "browser/PatternList.h"
#include "playlist/AddFiles.h"
#include "playlist/PlaylistModel.h"
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kDefaultPatterns =
    "*.kvpl;*.vob;*.asf;*.wav;*.mid;*.mp3;*.mp2;*.mp4;*.mpeg;*.mpg;*.mpe;*.avi;*.mov;*.mpa;*.asx";

// One folder of 20,000 media files with names as a music collection has
// them, created once for all benchmarks.
struct BigFolder {
    static constexpr int kFiles = 20'000;
    QTemporaryDir dir;
    QStringList names;

    BigFolder() {
        const char* extensions[] = {"mp3", "MP3", "wav", "mp4", "avi", "mpeg", "mov", "kvpl"};
        for (int i = 0; i < kFiles; ++i) {
            const QString name = QStringLiteral("Artist %1 - Track %2.%3")
                                     .arg(i % 97)
                                     .arg(i)
                                     .arg(extensions[i % std::size(extensions)]);
            const int fd =
                ::open(QFile::encodeName(dir.filePath(name)).constData(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0)
                ::close(fd);
            names << name;
        }
    }

    static BigFolder& get() {
        static BigFolder folder;
        return folder;
    }
};

void BM_ListFolderOf20000Files(benchmark::State& state) {
    BigFolder& folder = BigFolder::get();
    const PatternList patterns(kDefaultPatterns);
    qsizetype listed = 0;
    for (auto _ : state) {
        const QStringList files = listMatchingFiles(folder.dir.path(), patterns);
        listed = files.size();
        benchmark::DoNotOptimize(files);
    }
    state.counters["files"] = static_cast<double>(listed);
}
BENCHMARK(BM_ListFolderOf20000Files)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void BM_AddAllOf20000FilesIntoAShownList(benchmark::State& state) {
    BigFolder& folder = BigFolder::get();
    const QStringList listed = listMatchingFiles(folder.dir.path(), PatternList(kDefaultPatterns));
    PlaylistModel model;
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(300, 600);
    view.show();
    for (auto _ : state) {
        state.PauseTiming();
        model.clear();
        state.ResumeTiming();
        addAllFiles(model, folder.dir.path(), listed);
    }
    state.counters["entries"] = model.count();
}
BENCHMARK(BM_AddAllOf20000FilesIntoAShownList)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void BM_DropOf5000Paths(benchmark::State& state) {
    BigFolder& folder = BigFolder::get();
    QStringList paths;
    for (int i = 0; i < 5'000; ++i)
        paths << folder.dir.filePath(folder.names[i]);
    PlaylistModel model;
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.show();
    int loads = 0;
    const PlaylistLoader load = [&loads](const QString&) {
        ++loads;
    };
    for (auto _ : state) {
        state.PauseTiming();
        model.clear();
        state.ResumeTiming();
        addDroppedFiles(model, paths, kDefaultPatterns, load);
    }
    state.counters["entries"] = model.count();
}
BENCHMARK(BM_DropOf5000Paths)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

} // namespace

namespace {
// A pattern list with many stars over a folder of long names that almost
// match: a backtracking matcher takes seconds here.
void BM_ManyStarPatternOver1000LongNames(benchmark::State& state) {
    const PatternList patterns(QStringLiteral("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*c"));
    QStringList names;
    for (int i = 0; i < 1000; ++i)
        names << QString(200, u'a') + QString::number(i) + QStringLiteral(".mp3");
    for (auto _ : state) {
        int matched = 0;
        for (const QString& name : names)
            matched += patterns.matches(name);
        benchmark::DoNotOptimize(matched);
    }
}
BENCHMARK(BM_ManyStarPatternOver1000LongNames)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
} // namespace
