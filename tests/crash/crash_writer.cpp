// Writes one file over and over, alternating its two versions, until it is
// killed: crash_writer playlist|export|tag PATH. Says "ready" once the file
// holds its first version, then "begin" and "end" around every write, so
// that the test can time its kill into a write whatever the machine's speed.
#include "crash/CrashWrites.h"
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const CrashTarget target = crashTargetNamed(QString::fromLocal8Bit(argv[1]));
    const QString path = QString::fromLocal8Bit(argv[2]);
    prepareCrashTarget(target, path);
    std::puts("ready");
    std::fflush(stdout);
    for (int version = 1;; version ^= 1) {
        std::puts("begin");
        std::fflush(stdout);
        if (!writeCrashVersion(target, path, version))
            return 1;
        std::puts("end");
        std::fflush(stdout);
    }
}
