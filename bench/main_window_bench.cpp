// Edits of a full playlist (32,767 entries) in the real main window, so the
// cost of every view that shows the playlist is counted.
#include "BenchSeams.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/MemorySettingsStore.h"
#include "playback/TransportView.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/main/Form1.h"
#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <optional>

namespace {

struct MainWindow {
    MemorySettingsStore store;
    SettingsTable table{QStringLiteral("bench"), QDir::tempPath()};
    NoKeys keys;
    NoDialogs dialogs;
    NoShell shell;
    NoEngine host;
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    std::unique_ptr<Form1> form;

    MainWindow() {
        form = std::make_unique<Form1>(
            Form1Context{state, fields, playlists, store, table, keys, dialogs, shell, host});
        form->Form_Load({});
        form->show();
        std::vector<PlaylistEntry> entries;
        for (int i = 0; i < 32767; ++i)
            entries.push_back({QStringLiteral("Track %1 - Some Artist - Some Title.mp3").arg(i),
                               QStringLiteral("/home/user/Music/Some Artist/Track %1.mp3").arg(i), false});
        playlists.at(Playlists::kA).appendEntries(entries);
        QCoreApplication::processEvents();
    }
};

void BM_MainWindowDeleteFirstEntry(benchmark::State& run) {
    MainWindow window;
    for (auto _ : run) {
        PlaylistEditing::deleteSelected(window.playlists, window.state, false, 0);
        QCoreApplication::processEvents();
        run.PauseTiming();
        window.playlists.at(Playlists::kA)
            .append(QStringLiteral("Refill.mp3"), QStringLiteral("/tmp/Refill.mp3"));
        QCoreApplication::processEvents();
        run.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowDeleteFirstEntry)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

} // namespace
