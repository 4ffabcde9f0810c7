#include "app/SessionInstance.h"
#include <QDBusConnection>
#include <QDBusMessage>

namespace {
const QString kName = QStringLiteral("org.quelba.KivoPlayer");
const QString kPath = QStringLiteral("/org/quelba/KivoPlayer");
// A player that has not answered by then is taken for stuck.
constexpr int kAnswerMs = 3000;
} // namespace

bool SessionInstance::claim() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    bus.registerObject(kPath, this, QDBusConnection::ExportScriptableSlots);
    // The bus gives a name to one caller only, however close two starts come.
    return bus.registerService(kName);
}

bool SessionInstance::handOver(const QString& commandLine) {
    QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, kName, QStringLiteral("Open"));
    call << commandLine;
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kAnswerMs).type() ==
           QDBusMessage::ReplyMessage;
}

void SessionInstance::Open(const QString& commandLine) {
    emit openRequested(commandLine);
}
