#include "mpris/MprisService.h"
#include "mpris/MprisAdaptors.h"
#include "mpris/MprisNames.h"
#include "mpris/MprisPlayer.h"
#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <mutex>
#include <thread>

namespace {
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// The session bus as the desktop names it. Without either, the D-Bus library
// would try to start a bus of its own for an X display: the player does not.
bool sessionBusNamed() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

QDBusMessage busCall(const QString& method, const QString& name) {
    QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, method);
    call << name;
    return call;
}
} // namespace

// Lets the connecting thread hand the connection over only while the service
// still exists; the service clears it when it goes.
struct MprisService::Handoff {
    std::mutex mutex;
    MprisService* service = nullptr;
};

MprisService::MprisService(MprisPlayer& player, QObject* parent) : QObject(parent), player_(player) {}

MprisService::~MprisService() {
    if (handoff_) {
        const std::lock_guard lock(handoff_->mutex);
        handoff_->service = nullptr;
    }
    if (!bus_)
        return;
    bus_->unregisterObject(MprisNames::kObjectPath);
    // Sent without waiting for the answer: the name goes with the connection
    // anyway when the program ends.
    if (!busName_.isEmpty())
        bus_->send(busCall(QStringLiteral("ReleaseName"), busName_));
}

void MprisService::start() {
    if (handoff_ || !sessionBusNamed())
        return;
    handoff_ = std::make_shared<Handoff>();
    handoff_->service = this;
    // Connecting waits on the bus (and on a bus that hangs, for long): off
    // the user-interface thread, which gets the connection when it is made.
    std::thread([handoff = handoff_] {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        const std::lock_guard lock(handoff->mutex);
        if (MprisService* service = handoff->service)
            QMetaObject::invokeMethod(
                service, [service, bus] { service->attach(bus); }, Qt::QueuedConnection);
    }).detach();
}

void MprisService::attach(const QDBusConnection& bus) {
    object_ = new QObject(this);
    new MprisRootAdaptor(object_, player_);
    playerAdaptor_ = new MprisPlayerAdaptor(object_, player_);
    // Registering an object only fills a table of the connection: no waiting.
    QDBusConnection connection = bus;
    if (!connection.registerObject(MprisNames::kObjectPath, object_, QDBusConnection::ExportAdaptors)) {
        delete object_;
        object_ = nullptr;
        playerAdaptor_ = nullptr;
        return;
    }
    bus_ = connection;
    connect(&player_, &MprisPlayer::propertiesChanged, this, &MprisService::announce);
    requestName(MprisNames::kService, false);
}

void MprisService::requestName(const QString& name, bool lastTry) {
    constexpr uint kDoNotQueue = 4;
    QDBusMessage call = busCall(QStringLiteral("RequestName"), name);
    call << kDoNotQueue;
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, name, lastTry](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                if (reply.isError())
                    return;
                constexpr uint kPrimaryOwner = 1, kAlreadyOwner = 4;
                if (reply.value() == kPrimaryOwner || reply.value() == kAlreadyOwner) {
                    busName_ = name;
                    emit registered(name);
                } else if (!lastTry) {
                    // Another player of ours holds the name: MPRIS names each further
                    // instance after its process.
                    requestName(MprisNames::kService +
                                    QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid()),
                                true);
                }
            });
}

void MprisService::announce(const QStringList& names) {
    // Each value as a Get of the property answers it.
    QVariantMap changed;
    for (const QString& name : names)
        changed.insert(name, playerAdaptor_->property(name.toLatin1().constData()));
    QDBusMessage signal =
        QDBusMessage::createSignal(MprisNames::kObjectPath, kProperties, QStringLiteral("PropertiesChanged"));
    signal << MprisNames::kPlayerInterface << changed << QStringList();
    bus_->send(signal);
}
