#pragma once
#include <QDBusConnection>
#include <QObject>
#include <optional>

class QDBusPendingCallWatcher;

// Holds off the desktop's screensaver (org.freedesktop.ScreenSaver on the
// session bus) while held. Every call is asynchronous, so the window never
// waits for the bus; without a bus or the service nothing is held.
class ScreenSaverInhibitor : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverInhibitor(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                                  QObject* parent = nullptr);
    // Lets the screensaver run again.
    ~ScreenSaverInhibitor() override;
    void setHeld(bool held);
    // The service has answered a hold that is still wanted.
    bool isHeld() const { return cookie_.has_value(); }

private:
    void answered(QDBusPendingCallWatcher* call);
    void release();

    QDBusConnection bus_;
    bool wanted_ = false;
    bool asking_ = false;        // an Inhibit call awaits its answer
    std::optional<uint> cookie_; // what the service handed out for the hold
};
