// The options window against the real settings file: opening it with every
// tab filled, OK writing every setting, and a settings file exported and
// imported through its buttons.
#include "BenchSeams.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/IniSettingsStore.h"
#include "playback/TransportView.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/main/Form1.h"
#include "ui/options/frmOtp.h"
#include <QCoreApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// Every file dialog answers with the one path.
struct PathDialogs : NoDialogs {
    QString path;
    std::optional<QString> saveFile(const FileRequest&) override { return path; }
    std::optional<QString> openFile(const FileRequest&) override { return path; }
};

struct Options {
    QTemporaryDir home;
    std::unique_ptr<IniSettingsStore> store;
    std::unique_ptr<SettingsTable> table;
    NoKeys keys;
    PathDialogs dialogs;
    NoShell shell;
    NoEngine host;
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    std::unique_ptr<Form1> form;

    Options() {
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
        store = std::make_unique<IniSettingsStore>(QStringLiteral("bench"));
        table = std::make_unique<SettingsTable>(QStringLiteral("bench"), home.path());
        dialogs.path = home.filePath(QStringLiteral("saved.KVPS"));
        form = std::make_unique<Form1>(
            Form1Context{state, fields, playlists, *store, *table, keys, dialogs, shell, host});
        form->Form_Load({});
        form->show();
        QCoreApplication::processEvents();
    }
    // Opens the window and lets it paint.
    frmOtp* open() {
        form->CmdOptions_Click();
        QCoreApplication::processEvents();
        return form->findChild<frmOtp*>();
    }
    void closeAll() {
        for (frmOtp* window : form->findChildren<frmOtp*>())
            delete window;
        QCoreApplication::processEvents();
    }
};

void BM_OptionsOpen(benchmark::State& run) {
    Options o;
    for (auto _ : run) {
        benchmark::DoNotOptimize(o.open());
        run.PauseTiming();
        o.closeAll();
        run.ResumeTiming();
    }
}
BENCHMARK(BM_OptionsOpen)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_OptionsOkWritesEverySetting(benchmark::State& run) {
    Options o;
    for (auto _ : run) {
        run.PauseTiming();
        frmOtp* window = o.open();
        window->txtCaption[0]->setText(QStringLiteral("Changed"));
        run.ResumeTiming();
        window->cmdOK1_Click();
        run.PauseTiming();
        o.closeAll();
        run.ResumeTiming();
    }
}
BENCHMARK(BM_OptionsOkWritesEverySetting)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void BM_SettingsFileExport(benchmark::State& run) {
    Options o;
    frmOtp* window = o.open();
    for (auto _ : run)
        window->cmdExportSettings_Click();
}
BENCHMARK(BM_SettingsFileExport)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_SettingsFileImport(benchmark::State& run) {
    Options o;
    frmOtp* window = o.open();
    window->cmdExportSettings_Click();
    for (auto _ : run)
        window->cmdImportSettingFile_Click();
}
BENCHMARK(BM_SettingsFileImport)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

} // namespace
