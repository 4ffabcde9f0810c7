#pragma once
#include <QObject>
#include <QString>

// One player per desktop session. The first start owns a name on the session
// bus; a later start hands its command line to that player and ends, so that
// two players never restore and rewrite the same auto-save playlist (without a
// bus, or when the first player does not answer, the auto-save lock decides).
class SessionInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quelba.KivoPlayer")
public:
    using QObject::QObject;

    // True when this process is now the session's player, or there is no
    // session bus; false when another player owns the name.
    bool claim();
    // Gives the command line to the session's player; true when it answered.
    static bool handOver(const QString& commandLine);

public slots:
    // Called over the bus by a later start.
    Q_SCRIPTABLE void Open(const QString& commandLine);

signals:
    void openRequested(const QString& commandLine);
};
