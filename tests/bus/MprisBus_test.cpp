// The media calls through a real session bus (the test runs under dbus-run-session): a client on a connection
// of its own drives the main window's real adaptors, as the desktop's media keys do.
#include "mpris/MprisNames.h"
#include "mpris/MprisPlayer.h"
#include "mpris/MprisService.h"
#include "support/WaitUntil.h"
#include "ui/Form1Fixture.h"
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>

using namespace Qt::StringLiterals;

namespace {
const QString kRoot = u"org.mpris.MediaPlayer2"_s, kPlayer = MprisNames::kPlayerInterface;
const QString kProperties = u"org.freedesktop.DBus.Properties"_s;

class MprisBusTest : public QObject, public Form1Test {
    Q_OBJECT
protected:
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);
    std::unique_ptr<MprisPlayer> player;
    std::unique_ptr<MprisService> service;
    QStringList changes; // PropertiesChanged: the names joined by "+", then any volume; Seeked: "Seeked<s>"

    void TearDown() override { service.reset(), player.reset(), form.reset(); }
    // The main window with its media calls, as main() makes them.
    void startService() {
        ASSERT_TRUE(client.isConnected()) << "run this test under dbus-run-session";
        open();
        player = std::make_unique<MprisPlayer>(form->transport(), fields, form->mprisWindow());
        service = std::make_unique<MprisService>(*player);
        service->start();
        ASSERT_TRUE(waitUntil([this] { return !service->busName().isEmpty(); }));
        client.connect(service->busName(), MprisNames::kObjectPath, kProperties, "PropertiesChanged", this,
                       SLOT(changed(QString, QVariantMap, QStringList)));
        client.connect(service->busName(), MprisNames::kObjectPath, kPlayer, "Seeked", this,
                       SLOT(seeked(qlonglong)));
    }
    // A call of the client, answered by this thread's event loop; the signals sent before the answer are in.
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(service->busName(), MprisNames::kObjectPath, interface, method);
        message.setArguments(arguments);
        const QDBusPendingCall reply = client.asyncCall(message);
        EXPECT_TRUE(waitUntil([&] { return reply.isFinished(); }));
        QCoreApplication::processEvents();
        return reply.reply();
    }
    QVariant property(const QString& name) {
        return call(kProperties, "Get", {kPlayer, name}).arguments().value(0).value<QDBusVariant>().variant();
    }

public slots:
    void changed(const QString& interface, const QVariantMap& values, const QStringList&) {
        if (interface == kPlayer)
            changes << values.keys().join(u'+') + values.value("Volume").toString();
    }
    void seeked(qlonglong micros) { changes << "Seeked" + QString::number(micros / 1e6); }
};

} // namespace

TEST_F(MprisBusTest, EachCallRunsItsButtonOnlyRealChangesGoOutAndTheDesktopCanSetTheVolumeRaiseAndQuit) {
    fill(Playlists::kA, {"a.mp3", "b b.mp3", "c.mp3"});
    startService();
    EXPECT_EQ(service->busName(), MprisNames::kService);
    struct Step {
        // "end": the track plays to its end; "read": the engine reads its length and tags; "jump": a right
        const char* method; // click in the middle of the time bar
        const char *status, *title, *engine, *announced;
    };
    const char *const play = "CanGoNext+CanGoPrevious+CanPause+Metadata+PlaybackStatus",
                      *const drained = "CanGoNext+CanGoPrevious+CanPause+CanPlay+Metadata+PlaybackStatus";
    const Step steps[] = {
        {"PlayPause", "Playing", "a.mp3", "volume:0 setMedia:/music/a.mp3", play},
        {"PlayPause", "Paused", "a.mp3", "pause", "PlaybackStatus"},
        {"Pause", "Paused", "a.mp3", "", ""},
        {"Play", "Playing", "a.mp3", "play", "PlaybackStatus"},
        {"Play", "Playing", "a.mp3", "", ""}, // the track does not start again
        {"Pause", "Paused", "a.mp3", "pause", "PlaybackStatus"},
        // One announcement: the next track is never shown paused on the way.
        {"Next", "Playing", "b b.mp3", "stop volume:0 setMedia:/music/b b.mp3", "Metadata+PlaybackStatus"},
        {"read", "Playing", "Song", "", "Metadata Metadata"}, // the file's own title, artist and album
        {"Pause", "Paused", "Song", "pause", "PlaybackStatus"},
        {"Previous", "Playing", "Song", "stop start:0 play", "Seeked0 PlaybackStatus"}, // the pause ends
        {"Pause", "Paused", "Song", "pause", "PlaybackStatus"},
        {"jump", "Playing", "Song", "stop position:%1 play", "Seeked%1 PlaybackStatus"}, // %1: where it went
        {"end", "Playing", "c.mp3", "volume:0 setMedia:/music/c.mp3", "Metadata"},
        {"Stop", "Stopped", "", "stop setMedia:/tmp/silence.wav", play},
        {"Pause", "Stopped", "", "", ""},
        {"Play", "Playing", "c.mp3", "volume:0 setMedia:/music/c.mp3", play},
        {"end", "Stopped", "", "volume:0 stop setMedia:/tmp/silence.wav", drained}, // nothing left to play
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.method << " to " << step.status << " " << step.title);
        host.fake.takeLog();
        if (step.method == "end"_L1)
            host.fake.finish();
        else if (step.method == "read"_L1)
            host.fake.reportDuration(61.5), host.fake.reportTags({"Song", "Singer", "Disc"});
        else if (step.method == "jump"_L1)
            QTest::mouseClick(form->Pictimer, Qt::RightButton, {}, QPoint(form->width() / 2, 1));
        else
            EXPECT_EQ(call(kPlayer, step.method).type(), QDBusMessage::ReplyMessage);
        EXPECT_EQ(property("PlaybackStatus"), step.status);
        const QVariantMap data = qdbus_cast<QVariantMap>(property("Metadata"));
        EXPECT_EQ(data.value("xesam:title"), *step.title ? QVariant(step.title) : QVariant());
        EXPECT_EQ(data.value("mpris:trackid").value<QDBusObjectPath>().path() == MprisPlayer::kNoTrack,
                  !*step.title);
        const QString at = QString::number(host.fake.position);
        EXPECT_EQ(host.fake.log.join(' '), QString(step.engine).replace("%1", at));
        EXPECT_EQ(std::exchange(changes, {}).join(' '), QString(step.announced).replace("%1", at));
        const bool loaded = step.status != "Stopped"_L1; // Pause, Next and Previous need a track
        EXPECT_EQ(QList({property("CanPause"), property("CanGoNext"), property("CanGoPrevious"),
                         property("CanPlay")}),
                  QList<QVariant>({loaded, loaded, loaded, &step != std::end(steps) - 1}));
        if (step.method == "read"_L1) {
            EXPECT_EQ(QVariantList({data.value("xesam:artist"), data.value("xesam:album"),
                                    data.value("xesam:url"), data.value("mpris:length")}),
                      QVariantList({QStringList{"Singer"}, "Disc", "file:///music/b%20b.mp3", 61500000LL}));
        }
    }
    fill(Playlists::kB, {"d.mp3"}); // something to play again
    EXPECT_TRUE(waitUntil([this] { return std::exchange(changes, {}) == QStringList{"CanPlay"}; }));
    // The name the desktop shows, and its launcher's; every property can be read.
    const QVariantMap root =
        qdbus_cast<QVariantMap>(call(kProperties, "GetAll", {kRoot}).arguments().value(0));
    EXPECT_EQ(root.value("Identity").toString() + " " + root.value("DesktopEntry").toString(),
              "Kivo Player kivo-player");
    EXPECT_EQ(call(kProperties, "GetAll", {kPlayer}).type(), QDBusMessage::ReplyMessage);
    // The volume is the slider, both ways.
    call(kProperties, "Set", {kPlayer, "Volume", QVariant::fromValue(QDBusVariant(0.25))});
    EXPECT_EQ(form->hsVolume->value(), -3750);
    form->hsVolume->setValue(-500);
    EXPECT_TRUE(property("Volume") == 0.9 && changes.value(1) == "Volume0.9"); // announced too
    form->hide();
    call(kRoot, "Raise");
    EXPECT_TRUE(form->isVisible());
    form->hide(); // a playlist's file URI opens it as a second start's command line would, in front
    call(kPlayer, "OpenUri",
         {QUrl::fromLocalFile(dir.write("l.KVPL", "x.mp3*" + dir.write("x.mp3").toUtf8() + "\r\n!@#$%\r\n"))
              .toString()});
    EXPECT_TRUE(form->isVisible() && playlists.shown().name(playlists.shown().count() - 1) == "x.mp3");
    // Quit runs E&xit: the window closes the normal way and stores its settings.
    const SettingDef timeMode = table.eorR(); // not stored before
    call(kRoot, "Quit");
    EXPECT_TRUE(waitUntil([this] { return !form->isVisible(); }));
    EXPECT_TRUE(store.contains(timeMode.section, timeMode.key));
}

TEST_F(MprisBusTest, ASecondPlayerTakesANameOfItsOwnAndWithoutASessionBusThePlayerRunsAsAlways) {
    // Another program holds the name (once the last test's player has given it up).
    ASSERT_TRUE(waitUntil([this] { return !client.interface()->isServiceRegistered(MprisNames::kService); }));
    ASSERT_TRUE(client.registerService(MprisNames::kService));
    fill(Playlists::kA, {"a.mp3"});
    startService();
    EXPECT_EQ(service->busName(),
              MprisNames::kService + ".instance" + QString::number(QCoreApplication::applicationPid()));
    EXPECT_EQ(call(kPlayer, "PlayPause").type(), QDBusMessage::ReplyMessage);
    client.unregisterService(MprisNames::kService);
    service.reset(); // then the same player, started without a session bus
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS"), runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8()); // holds no bus
    MprisService none(*player);
    none.start();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qputenv("XDG_RUNTIME_DIR", runtime);
    // A service started after it: by the time that one holds a name, the first would hold one too.
    MprisService later(*player);
    later.start();
    ASSERT_TRUE(waitUntil([&] { return !later.busName().isEmpty(); }));
    EXPECT_TRUE(none.busName().isEmpty());
    player->PlayPause(); // the player goes on as always
    EXPECT_EQ(player->playbackStatus(), "Paused");
}

#include "MprisBus_test.moc"
