// ID3v1 tags: "Set Tags" over a large playlist B, and the time from F2 or
// the "?" button to the information sheet on screen.
#include "BenchSeams.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/MemorySettingsStore.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "support/TransportFakes.h"
#include "tags/SetTags.h"
#include "tags/clsID3.h"
#include "ui/main/Form1.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kFiles = 1000;
constexpr off_t kFileSize = 5 * 1024 * 1024;

QByteArray tagRecord(int n) {
    QByteArray record("TAG");
    record += QByteArray("Track ").append(QByteArray::number(n)).leftJustified(30, '\0', true);
    record += QByteArray("Old artist").leftJustified(30, '\0');
    record += QByteArray("Old album").leftJustified(30, '\0');
    record += "1999";
    record += QByteArray("Old comment").leftJustified(30, '\0');
    record += char(12);
    return record;
}

// A 5 MB MP3 with a tag at its end. The audio part is a hole (a sparse file),
// so a thousand of them take a few megabytes of disk instead of 5 GB.
void writeSparseMp3(const QString& path, int n) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const QByteArray record = tagRecord(n);
    if (fd < 0 || ::ftruncate(fd, kFileSize) != 0 ||
        ::pwrite(fd, record.constData(), record.size(), kFileSize - record.size()) != record.size())
        std::abort();
    ::close(fd);
}

struct ThousandMp3s {
    QTemporaryDir dir;
    PlaylistModel playlistB;
    ThousandMp3s() {
        for (int i = 0; i < kFiles; ++i) {
            const QString name = QStringLiteral("Track %1.mp3").arg(i, 4, 10, QChar('0'));
            writeSparseMp3(dir.filePath(name), i);
            playlistB.append(name, dir.filePath(name));
        }
    }
};

void BM_SetTagsOnAThousand5MbMp3s(benchmark::State& run) {
    ThousandMp3s files;
    NoDialogs dialogs;
    int round = 0;
    for (auto _ : run)
        setTags(files.playlistB, {"Artist", "Album", QString::number(++round % 200), "Comment"}, dialogs);
    clsID3 check;
    check.setFilename(files.playlistB.path(kFiles - 1));
    if (check.Artist() != QLatin1String("Artist") || check.Genre() != round % 200)
        run.SkipWithError("the tags were not written");
}
BENCHMARK(BM_SetTagsOnAThousand5MbMp3s)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The offscreen platform warns about every box it shows.
void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("propagateSizeHints")))
        qt_message_output(type, context, text);
}

// Shows every message in a real message box, which closes itself as soon as
// the event loop has shown it.
struct ShownMessages : NoDialogs {
    int shown = 0;
    ShownMessages() { qInstallMessageHandler(quietOffscreenWarnings); }
    ~ShownMessages() { qInstallMessageHandler(nullptr); }
    void message(const QString& text, const QString& title) override {
        QTimer::singleShot(0, [this] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                ++shown;
                box->close();
            }
        });
        QtDialogs().message(text, title);
    }
};

// The real main window playing a tagged 5 MB MP3 from playlist B, with tab A
// in view.
struct PlayingWindow {
    QTemporaryDir dir;
    MemorySettingsStore store;
    SettingsTable table{QStringLiteral("bench"), QDir::tempPath()};
    NoKeys keys;
    ShownMessages dialogs;
    NoShell shell;
    FakeHost host;
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    std::unique_ptr<Form1> form;

    PlayingWindow() {
        const QString path = dir.filePath(QStringLiteral("Song.mp3"));
        writeSparseMp3(path, 1);
        playlists.at(Playlists::kB).append(QStringLiteral("Song.mp3"), path);
        form = std::make_unique<Form1>(
            Form1Context{state, fields, playlists, store, table, keys, dialogs, shell, host});
        form->Form_Load({});
        form->show();
        playlists.setShown(Playlists::kB);
        form->CmdPLAY->click();
        QCoreApplication::processEvents();
    }
};

void BM_TrackInfoSheetByF2(benchmark::State& run) {
    PlayingWindow window;
    for (auto _ : run) {
        run.PauseTiming();
        window.playlists.setShown(Playlists::kA);
        window.form->TxtSearch->setFocus();
        QCoreApplication::processEvents();
        run.ResumeTiming();
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_F2, Qt::NoModifier);
        QApplication::sendEvent(window.form->TxtSearch, &release);
    }
    if (window.dialogs.shown != static_cast<int>(run.iterations()) ||
        window.playlists.shownIndex() != Playlists::kB)
        run.SkipWithError("the sheet was not shown for the playing entry");
}
BENCHMARK(BM_TrackInfoSheetByF2)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TrackInfoSheetByQuestionButton(benchmark::State& run) {
    PlayingWindow window;
    window.state.selectedPath = window.playlists.at(Playlists::kB).path(0);
    for (auto _ : run)
        window.form->CMDFileinfo->click();
    if (window.dialogs.shown != static_cast<int>(run.iterations()))
        run.SkipWithError("the sheet was not shown");
}
BENCHMARK(BM_TrackInfoSheetByQuestionButton)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
