#include "app/EndSignals.h"
#include "app/SessionInstance.h"
#include "core/AppState.h"
#include "core/AutoSaveLock.h"
#include "core/CommandLine.h"
#include "core/MainWindowState.h"
#include "core/Startup.h"
#include "mpris/MprisPlayer.h"
#include "mpris/MprisService.h"
#include "platform/AppIcon.h"
#include "platform/Dialogs.h"
#include "platform/IniSettingsStore.h"
#include "platform/KeyState.h"
#include "platform/Shell.h"
#include "platform/UserName.h"
#include "playlist/PlaylistFileOps.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/main/Form1.h"
#include "ui/screen/ScreenHost.h"
#include "ui/screen/VideoAwake.h"
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
// For the start-up benchmark: prints the wall-clock time at which the window
// is shown and, with the value "exit", ends the program there.
void reportWhenShown(QApplication& app) {
    const QByteArray mode = qgetenv("KIVO_REPORT_SHOWN");
    if (mode.isEmpty())
        return;
    QTimer::singleShot(0, &app, [&app, mode] {
        std::printf("shown %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        std::fflush(stdout);
        if (mode == "exit")
            app.exit(0);
    });
}
// --help and --version are answered without a window; true when one was.
bool answeredOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--version") {
            std::printf("Kivo Player 7.01256\n");
            return true;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf("Usage: kivo-player [PLAYLIST]\n"
                        "Plays audio and video files from two playlists used as play queues.\n\n"
                        "  PLAYLIST   a .KVPL, .m3u or .m3u8 playlist to load (into playlist B when A holds\n"
                        "             entries); a player already running in this session loads it instead\n"
                        "  --help     shows this text and ends\n"
                        "  --version  shows the version and ends\n");
            return true;
        }
    }
    return false;
}
int run(int argc, char** argv) {
    if (answeredOption(argc, argv))
        return 0;
    QApplication app(argc, argv); // takes its own options out of argv
    setApplicationIcon();
    QtDialogs dialogs;
    QList<QByteArray> given;
    for (int i = 1; i < argc; ++i)
        given << QByteArray(argv[i]);
    const CommandLineArguments arguments = commandLineArguments(given);
    const QString& commandLine = arguments.line;
    if (!arguments.unnamablePlaylist.isEmpty())
        dialogs.message(
            QStringLiteral("The playlist %1 cannot be opened: its name is not valid UTF-8, so the "
                           "player cannot name that file.")
                .arg(arguments.unnamablePlaylist),
            PlaylistTexts::kProblemTitle);
    // A second start gives its command line to the player already running.
    SessionInstance instance;
    if (!instance.claim() &&
        SessionInstance::handOver(commandLineForHandOver(commandLine, QDir::currentPath())))
        return 0;
    // The main window's close ends the program, once an options window left
    // open is closed too.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Kivo Player"));
    // Ties the windows to the installed launcher, and so to its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kivo-player"));
    // The playback engine reads numbers in the C locale.
    std::setlocale(LC_NUMERIC, "C");
    // Set up before anything else can claim the signals; a signal that comes
    // during the load is answered once the event loop runs.
    EndSignals endSignals;

    const QString login = ReadUserName();
    IniSettingsStore store(login);
    const SettingsTable table(login, QDir::homePath());
    SystemKeyState keys;
    DesktopShell shell;
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    state.loginName = login;
    ScreenHost host(state, dialogs);

    Form1 form({state, fields, playlists, store, table, keys, dialogs, shell, host});
    // The window's own close runs the shut-down; quitting afterwards also ends
    // any window that is open at the time. A box open when the request comes
    // closes first, and none waits from then on. A request during the load
    // (a box of the load runs the event loop) is answered once the load is
    // done, so that the shut-down never saves a half-restored playlist.
    bool loaded = false, endAsked = false;
    const auto end = [&form] {
        form.close();
        QCoreApplication::quit();
    };
    QObject::connect(&endSignals, &EndSignals::requested, &form, [&] {
        dialogs.endRequested();
        if (loaded)
            end();
        else
            endAsked = true;
    });
    // A later start's command line, taken once the load is done.
    QStringList handedOver;
    QObject::connect(&instance, &SessionInstance::openRequested, &form, [&](const QString& line) {
        if (loaded)
            form.openHandedOver(line);
        else
            handedOver << line;
    });
    form.Form_Load(commandLine);
    form.show();
    loaded = true;
    for (const QString& line : std::as_const(handedOver))
        form.openHandedOver(line);
    if (endAsked)
        QTimer::singleShot(0, &form, end);
    // Media keys, the desktop's sound menu and playerctl, when there is a
    // session bus.
    MprisPlayer mprisPlayer(form.transport(), fields, form.mprisWindow());
    MprisService mpris(mprisPlayer);
    // A video that plays holds off the screensaver.
    VideoAwake videoAwake(form.transport(), state);
    mpris.start();
    reportWhenShown(app);
    return app.exec();
}
} // namespace

int main(int argc, char** argv) {
    const int code = run(argc, argv);
    giveUpAutoSave();
    // Everything of the player's is saved, closed and ended by now: the engine, the windows, the settings.
    // What is left are the libraries' own destructors, some 300 of them, which would map again the pages of
    // code released while playing only to free memory the system takes back at once. Builds that count
    // leaks or coverage at exit go the whole way.
    std::fflush(nullptr);
#if defined(KIVO_FULL_EXIT)
    std::exit(code);
#else
    _exit(code);
#endif
}
