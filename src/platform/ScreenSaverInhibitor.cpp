#include "platform/ScreenSaverInhibitor.h"
#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");

QDBusMessage screenSaverCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/ScreenSaver"), kService,
                                          method);
}
} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    release();
}

void ScreenSaverInhibitor::setHeld(bool held) {
    wanted_ = held;
    if (!held) {
        release();
        return;
    }
    if (cookie_ || asking_ || !bus_.isConnected())
        return;
    QDBusMessage inhibit = screenSaverCall(QStringLiteral("Inhibit"));
    inhibit << QCoreApplication::applicationName() << QStringLiteral("Playing a video");
    asking_ = true;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(inhibit), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &ScreenSaverInhibitor::answered);
}

void ScreenSaverInhibitor::answered(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    asking_ = false;
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError())
        return; // no screensaver service on this desktop
    cookie_ = reply.value();
    if (!wanted_)
        release(); // let go while the call was on its way
}

void ScreenSaverInhibitor::release() {
    if (!cookie_)
        return;
    QDBusMessage uninhibit = screenSaverCall(QStringLiteral("UnInhibit"));
    uninhibit << *cookie_;
    cookie_.reset();
    bus_.send(uninhibit); // no answer awaited
}
