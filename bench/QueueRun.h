#pragma once
#include "playback/Transport.h"
#include "playlist/PlaylistModel.h"
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

// Runs the event loop until the queue is empty and nothing plays, or until the time limit; the seconds taken.
inline double playQueueDown(const PlaylistModel& queue, Transport& transport, int limitMs) {
    QEventLoop loop;
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (queue.isEmpty() && !transport.playing())
            loop.quit();
    });
    done.start(50);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    QElapsedTimer whole;
    whole.start();
    loop.exec();
    return whole.elapsed() / 1000.0;
}
