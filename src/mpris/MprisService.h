#pragma once
#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class MprisPlayer;
class MprisPlayerAdaptor;

// Puts the player on the session bus as org.mpris.MediaPlayer2.kivoplayer
// (or, when another player holds that name, with ".instance<pid>" after it)
// and announces its property changes. Nothing here waits on the bus on the
// user-interface thread: the connection is made on a thread of its own and
// the name is asked for without waiting for the answer. Without a session bus
// the player runs as it always does.
class MprisService : public QObject {
    Q_OBJECT
public:
    explicit MprisService(MprisPlayer& player, QObject* parent = nullptr);
    ~MprisService() override;

    // Looks for the session bus ($DBUS_SESSION_BUS_ADDRESS or
    // $XDG_RUNTIME_DIR/bus; never starts one). Call once.
    void start();
    // The name the player holds on the bus; empty until it has one.
    QString busName() const { return busName_; }

signals:
    // The player can be reached under this name.
    void registered(const QString& busName);

private:
    struct Handoff;
    void attach(const QDBusConnection& bus);
    void requestName(const QString& name, bool lastTry);
    void announce(const QStringList& names);

    MprisPlayer& player_;
    std::shared_ptr<Handoff> handoff_;
    std::optional<QDBusConnection> bus_;
    QObject* object_ = nullptr; // carries the adaptors
    MprisPlayerAdaptor* playerAdaptor_ = nullptr;
    QString busName_;
};
