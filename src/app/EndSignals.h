#pragma once
#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (logout, shut-down, `kill`, Ctrl+C) reach the
// program as the signal `requested` on the user-interface thread, so that the
// main window can close the normal way and every shut-down step runs. The
// signal handler only writes a byte to a pipe that the event loop watches.
// One object at a time; its end gives the signals their default action back.
class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // False when the pipe or a handler could not be set up; the signals then
    // keep their default action.
    bool installed() const { return notifier_ != nullptr; }

signals:
    void requested();

private:
    void drain();
    QSocketNotifier* notifier_ = nullptr;
};
