// Writes one file over and over, alternating its two versions, until it is killed: crash_writer
// playlist|export|tag PATH. Says "ready" once the file holds its first version, then "begin" and "end"
// around every write, so that the test can time its kill into a write whatever the machine's speed.
#include "crash/CrashWrites.h"
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString target = QString::fromLocal8Bit(argv[1]), path = QString::fromLocal8Bit(argv[2]);
    const QByteArray first = crashVersionBytes(target, 0);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(first) != first.size())
        return 1;
    file.close();
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each word out at once
    std::puts("ready");
    for (int version = 1;; version ^= 1) {
        std::puts("begin");
        if (!writeCrashVersion(target, path, version))
            return 1;
        std::puts("end");
    }
}
