// Editing and searching full playlists (32,767 entries) while list views
// show them, so the views' own work on each change is part of the time.
// The views use uniform item sizes, as the playlist lists must: without it a
// list view measures every one of 32,767 rows after each change (about
// 200 ms here), whatever the model does.
#include "core/AppState.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/PlaylistSearch.h"
#include "playlist/Playlists.h"

#include <QCoreApplication>
#include <QListView>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kFull = 32767;

struct ShownPlaylists {
    Playlists playlists;
    AppState state;
    std::unique_ptr<QListView> viewA = std::make_unique<QListView>();
    std::unique_ptr<QListView> viewB = std::make_unique<QListView>();

    ShownPlaylists() {
        for (auto [view, index] :
             {std::pair{viewA.get(), Playlists::kA}, std::pair{viewB.get(), Playlists::kB}}) {
            view->setUniformItemSizes(true);
            view->setModel(&playlists.at(index));
            view->resize(300, 400);
            view->show();
        }
        settle();
    }

    void fill(int index, int count) {
        std::vector<PlaylistEntry> entries;
        entries.reserve(count);
        for (int i = 0; i < count; ++i)
            entries.push_back({QStringLiteral("Track %1 - Some Artist - Some Title.mp3").arg(i),
                               QStringLiteral("/home/user/Music/Some Artist/Track %1.mp3").arg(i), false});
        playlists.at(index).appendEntries(entries);
        settle();
    }

    // Lets the views lay out and paint what changed.
    static void settle() { QCoreApplication::processEvents(); }
};

void useMedian(benchmark::internal::Benchmark* bench) {
    bench->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
}

void BM_SearchSingleNoMatch(benchmark::State& run) {
    ShownPlaylists world;
    world.fill(Playlists::kA, kFull);
    for (auto _ : run) {
        const auto result = PlaylistSearch::search(PlaylistSearch::Mode::Single, QStringLiteral("zebra"),
                                                   world.playlists, world.state, false, kFull / 2);
        benchmark::DoNotOptimize(result.select);
    }
}
BENCHMARK(BM_SearchSingleNoMatch)->Apply(useMedian);

void BM_SearchMoveEverything(benchmark::State& run) {
    ShownPlaylists world;
    for (auto _ : run) {
        run.PauseTiming();
        world.playlists.at(Playlists::kB).clear();
        world.fill(Playlists::kA, kFull);
        world.state.playingPlaylist = Playlists::kA;
        world.state.currentEntry = kFull / 2;
        run.ResumeTiming();
        const auto result = PlaylistSearch::search(PlaylistSearch::Mode::Move, QStringLiteral("track"),
                                                   world.playlists, world.state, true, kFull / 3);
        ShownPlaylists::settle();
        benchmark::DoNotOptimize(result.moved);
    }
}
BENCHMARK(BM_SearchMoveEverything)->Apply(useMedian);

template <int Button> void BM_WholePlaylist(benchmark::State& run) {
    ShownPlaylists world;
    for (auto _ : run) {
        run.PauseTiming();
        world.playlists.at(Playlists::kB).clear();
        world.playlists.at(Playlists::kA).clear();
        world.fill(Playlists::kA, kFull);
        run.ResumeTiming();
        PlaylistEditing::moveWholePlaylist(Button, world.playlists, world.state);
        ShownPlaylists::settle();
    }
}
BENCHMARK(BM_WholePlaylist<PlaylistEditing::CopyAToB>)->Name("BM_CopyAToB")->Apply(useMedian);
BENCHMARK(BM_WholePlaylist<PlaylistEditing::MoveAToB>)->Name("BM_MoveAToB")->Apply(useMedian);

void BM_ClearAll(benchmark::State& run) {
    ShownPlaylists world;
    for (auto _ : run) {
        run.PauseTiming();
        world.fill(Playlists::kA, kFull);
        run.ResumeTiming();
        PlaylistEditing::clearShown(world.playlists);
        ShownPlaylists::settle();
    }
}
BENCHMARK(BM_ClearAll)->Apply(useMedian);

void BM_DeleteFirstEntry(benchmark::State& run) {
    ShownPlaylists world;
    world.fill(Playlists::kA, kFull);
    for (auto _ : run) {
        PlaylistEditing::deleteSelected(world.playlists, world.state, false, 0);
        ShownPlaylists::settle();
        run.PauseTiming();
        world.playlists.at(Playlists::kA)
            .append(QStringLiteral("Refill.mp3"), QStringLiteral("/tmp/Refill.mp3"));
        ShownPlaylists::settle();
        run.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteFirstEntry)->Apply(useMedian);

} // namespace
