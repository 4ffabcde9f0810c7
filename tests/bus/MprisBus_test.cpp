// The media calls through a real session bus (the test runs under
// dbus-run-session): a client on a connection of its own drives the main
// window's real adaptor, as the desktop's media keys and playerctl do.
#include "mpris/MprisNames.h"
#include "mpris/MprisPlayer.h"
#include "mpris/MprisService.h"
#include "support/WaitUntil.h"
#include "ui/Form1Fixture.h"
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QPushButton>
#include <QScrollBar>
#include <future>

namespace {
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = MprisNames::kPlayerInterface;

// Records the PropertiesChanged signals the player sends.
class ChangeRecorder : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
public slots:
    void changed(const QString& interface, const QVariantMap& values, const QStringList&) {
        if (interface == MprisNames::kPlayerInterface)
            changes << values;
    }
};

// a{sv} arrives as a QDBusArgument when read through a variant.
QVariantMap asMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) {
        QVariantMap map;
        value.value<QDBusArgument>() >> map;
        return map;
    }
    return value.toMap();
}

class MprisBusTest : public Form1Test {
protected:
    // The desktop's side: its own connection, so every call crosses the bus.
    QDBusConnection client =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
    std::unique_ptr<MprisPlayer> player;
    std::unique_ptr<MprisService> service;
    ChangeRecorder recorder;

    void SetUp() override { ASSERT_TRUE(client.isConnected()) << "run this test under dbus-run-session"; }
    void TearDown() override {
        service.reset();
        player.reset();
        form.reset();
    }

    // The main window with its media calls, as main() makes them.
    void startService() {
        open();
        player = std::make_unique<MprisPlayer>(form->transport(), fields, form->mprisWindow());
        service = std::make_unique<MprisService>(*player);
        service->start();
        ASSERT_TRUE(waitUntil([this] { return !service->busName().isEmpty(); }));
        client.connect(service->busName(), MprisNames::kObjectPath, "org.freedesktop.DBus.Properties",
                       "PropertiesChanged", &recorder, SLOT(changed(QString, QVariantMap, QStringList)));
    }

    // Runs a blocking client call off this thread while the window's event
    // loop here answers it.
    template <typename Call> auto onClient(Call call) {
        std::future<decltype(call())> result = std::async(std::launch::async, call);
        EXPECT_TRUE(waitUntil(
            [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20000));
        return result.get();
    }
    QString callPlayer(const QString& method, const QString& interface = MprisNames::kPlayerInterface) {
        return onClient([&] {
            QDBusInterface remote(service->busName(), MprisNames::kObjectPath, interface, client);
            const QDBusMessage reply = remote.call(method);
            return reply.type() == QDBusMessage::ErrorMessage ? reply.errorMessage() : QString();
        });
    }
    QVariant property(const QString& name, const QString& interface = MprisNames::kPlayerInterface) {
        return onClient([&] {
            QDBusInterface properties(service->busName(), MprisNames::kObjectPath,
                                      "org.freedesktop.DBus.Properties", client);
            const QDBusReply<QDBusVariant> reply = properties.call("Get", interface, name);
            return reply.isValid() ? reply.value().variant() : QVariant();
        });
    }
    bool setProperty(const QString& name, const QVariant& value) {
        return onClient([&] {
            QDBusInterface properties(service->busName(), MprisNames::kObjectPath,
                                      "org.freedesktop.DBus.Properties", client);
            const QDBusMessage reply =
                properties.call("Set", kPlayer, name, QVariant::fromValue(QDBusVariant(value)));
            return reply.type() == QDBusMessage::ReplyMessage;
        });
    }
    QVariantMap metadata() { return asMap(property("Metadata")); }
};

} // namespace

TEST_F(MprisBusTest, PlayPauseNextAndStopDriveTheWindowAndTheMetadataFollows) {
    fill(Playlists::kA, {"a.mp3", "b b.mp3", "c.mp3"});
    startService();
    EXPECT_EQ(property("PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(asMap(property("Metadata")).value("mpris:trackid").value<QDBusObjectPath>().path(),
              MprisPlayer::kNoTrack);

    EXPECT_EQ(callPlayer("PlayPause"), "");
    EXPECT_EQ(property("PlaybackStatus").toString(), "Playing");
    EXPECT_TRUE(form->CmdPLAY->isHidden()); // the window shows it playing
    EXPECT_EQ(host.fake.media, "/music/a.mp3");
    host.fake.reportDuration(61.5);
    QVariantMap data = metadata();
    EXPECT_EQ(data.value("xesam:title").toString(), "a.mp3");
    EXPECT_EQ(data.value("xesam:url").toString(), "file:///music/a.mp3");
    EXPECT_EQ(data.value("mpris:length").toLongLong(), 61'500'000);
    const QString firstTrack = data.value("mpris:trackid").value<QDBusObjectPath>().path();
    EXPECT_TRUE(firstTrack.startsWith("/org/kivoplayer/track/")) << firstTrack.toStdString();

    EXPECT_EQ(callPlayer("Pause"), "");
    EXPECT_EQ(property("PlaybackStatus").toString(), "Paused");
    EXPECT_EQ(host.fake.log.back(), "pause");
    EXPECT_EQ(callPlayer("PlayPause"), "");
    EXPECT_EQ(property("PlaybackStatus").toString(), "Playing");
    EXPECT_EQ(host.fake.log.back(), "play");

    EXPECT_EQ(callPlayer("Next"), "");
    EXPECT_EQ(names(Playlists::kA), (QStringList{"b b.mp3", "c.mp3"}));
    data = metadata();
    EXPECT_EQ(data.value("xesam:title").toString(), "b b.mp3");
    EXPECT_EQ(data.value("xesam:url").toString(), "file:///music/b%20b.mp3");
    EXPECT_NE(data.value("mpris:trackid").value<QDBusObjectPath>().path(), firstTrack);
    EXPECT_EQ(form->windowTitle(), "b b.mp3");

    EXPECT_EQ(callPlayer("Previous"), "");
    EXPECT_EQ(host.fake.log.mid(host.fake.log.size() - 3), (QStringList{"stop", "start:0", "play"}));
    EXPECT_EQ(callPlayer("Stop"), "");
    EXPECT_EQ(property("PlaybackStatus").toString(), "Stopped");
    EXPECT_FALSE(form->CmdPLAY->isHidden());

    // Every change was announced, in order, with its new values.
    ASSERT_TRUE(waitUntil([this] {
        return !recorder.changes.isEmpty() && recorder.changes.back().value("PlaybackStatus") == "Stopped";
    }));
    QStringList statuses, titles;
    for (const QVariantMap& change : recorder.changes) {
        if (change.contains("PlaybackStatus"))
            statuses << change.value("PlaybackStatus").toString();
        if (change.contains("Metadata"))
            titles << asMap(change.value("Metadata")).value("xesam:title").toString();
    }
    EXPECT_EQ(statuses, (QStringList{"Playing", "Paused", "Playing", "Stopped"}));
    EXPECT_EQ(titles, (QStringList{"a.mp3", "a.mp3", "b b.mp3", ""}));
}

TEST_F(MprisBusTest, VolumeIsTheSliderBothWays) {
    startService();
    EXPECT_EQ(property("Volume").toDouble(), 1.0);
    EXPECT_TRUE(setProperty("Volume", 0.25));
    EXPECT_EQ(form->hsVolume->value(), -3750);
    EXPECT_EQ(fields.volume, -3750);
    form->hsVolume->setValue(-500);
    EXPECT_DOUBLE_EQ(property("Volume").toDouble(), 0.9);
    ASSERT_TRUE(waitUntil([this] {
        return !recorder.changes.isEmpty() && recorder.changes.back().value("Volume").toDouble() == 0.9;
    }));
}

TEST_F(MprisBusTest, TheDesktopSeesWhatThePlayerIsAndCanRaiseAndQuitIt) {
    startService();
    EXPECT_EQ(service->busName(), MprisNames::kService);
    EXPECT_EQ(property("Identity", kRoot).toString(), "Kivo Player");
    EXPECT_EQ(property("DesktopEntry", kRoot).toString(), "kivo-player");
    EXPECT_TRUE(property("CanQuit", kRoot).toBool());
    EXPECT_TRUE(property("CanRaise", kRoot).toBool());
    for (const char* can : {"CanPlay", "CanPause", "CanGoNext", "CanGoPrevious", "CanControl"})
        EXPECT_TRUE(property(can).toBool()) << can;
    EXPECT_FALSE(property("CanSeek").toBool());
    EXPECT_EQ(property("Rate").toDouble(), 1.0);
    EXPECT_EQ(property("Position").toLongLong(), 0);

    form->hide();
    EXPECT_EQ(callPlayer("Raise", kRoot), "");
    EXPECT_TRUE(form->isVisible());

    // Quit runs E&xit: the window closes the normal way and stores its
    // settings.
    const SettingDef timeMode = table.eorR();
    EXPECT_FALSE(store.contains(timeMode.section, timeMode.key));
    EXPECT_EQ(callPlayer("Quit", kRoot), "");
    EXPECT_TRUE(waitUntil([this] { return !form->isVisible(); }));
    EXPECT_TRUE(store.contains(timeMode.section, timeMode.key));
}

TEST_F(MprisBusTest, ASecondPlayerTakesANameOfItsOwn) {
    // Another program already holds the name (once the last test's player
    // has given it up).
    ASSERT_TRUE(waitUntil([this] { return !client.interface()->isServiceRegistered(MprisNames::kService); }));
    ASSERT_TRUE(client.registerService(MprisNames::kService));
    startService();
    EXPECT_EQ(service->busName(),
              MprisNames::kService + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid()));
    EXPECT_EQ(callPlayer("PlayPause"), "");
    EXPECT_EQ(property("PlaybackStatus").toString(), "Stopped"); // nothing to play: Play stops again
    client.unregisterService(MprisNames::kService);
}

TEST_F(MprisBusTest, WithoutASessionBusThePlayerRunsAsAlways) {
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8()); // holds no bus
    fill(Playlists::kA, {"a.mp3"});
    open();
    MprisPlayer alone(form->transport(), fields, form->mprisWindow());
    MprisService none(alone);
    none.start();
    QTest::qWait(200);
    EXPECT_TRUE(none.busName().isEmpty());
    alone.PlayPause();
    EXPECT_EQ(alone.playbackStatus(), "Playing");
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qputenv("XDG_RUNTIME_DIR", runtime);
}

#include "MprisBus_test.moc"
