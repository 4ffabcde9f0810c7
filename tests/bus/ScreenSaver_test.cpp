#include "platform/ScreenSaverInhibitor.h"
#include "support/WaitUntil.h"

struct FakeScreenSaver : public QObject {
    QStringList calls; // each release with its cookie
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    uint Inhibit(const QString&, const QString&) { return calls.append("Inhibit"), calls.size(); }
    void UnInhibit(uint cookie) { calls << "UnInhibit " + QString::number(cookie); }
};

// The screensaver hold against a stand-in for the desktop's service on the same private bus: each hold is
// let go with its own cookie, at once, when the answer comes after the release, and at the end.
TEST(ScreenSaverBus, EveryHoldIsLetGoWithItsCookie) {
    FakeScreenSaver saver;
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "saver");
    bus.registerObject("/org/freedesktop/ScreenSaver", &saver, QDBusConnection::ExportAllSlots);
    ASSERT_TRUE(bus.registerService("org.freedesktop.ScreenSaver"));
    auto inhibitor = std::make_unique<ScreenSaverInhibitor>();
    inhibitor->setHeld(true);
    ASSERT_TRUE(waitUntil([&] { return inhibitor->isHeld(); }));
    for (bool on : {true, false, true, false}) // the last release comes before the answer
        inhibitor->setHeld(on);
    ASSERT_TRUE(waitUntil([&] { return saver.calls.size() == 4; }));
    inhibitor->setHeld(true);
    ASSERT_TRUE(waitUntil([&] { return inhibitor->isHeld(); }));
    inhibitor.reset();
    const QStringList calls = {"Inhibit", "UnInhibit 1", "Inhibit", "UnInhibit 3", "Inhibit", "UnInhibit 5"};
    EXPECT_TRUE(waitUntil([&] { return saver.calls == calls; })) << saver.calls.join(", ").toStdString();
}
#include "ScreenSaver_test.moc"
