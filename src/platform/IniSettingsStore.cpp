#include "platform/IniSettingsStore.h"
#include "platform/IniFile.h"
#include "platform/RegularFile.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace {
// Another player holds the lock only while it writes a few hundred bytes.
constexpr int kLockWaitMs = 5000;

// Tries often rather than with QLockFile's growing pauses, so that a player
// waiting for another one's short write is not left asleep for seconds.
bool lockWithin(QLockFile& lock, int ms) {
    const QDeadlineTimer deadline(ms);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

QString settingsPath(const QString& loginName) {
    // A login name is a file name here: no folder separators, no NUL.
    QString name = loginName.toUpper();
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(0), QLatin1Char('_'));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/Quelba Kivo Player/") + name + QStringLiteral(".ini");
}
} // namespace

IniSettingsStore::IniSettingsStore(const QString& loginName) : path_(settingsPath(loginName)) {}

QString IniSettingsStore::read(const QString& section, const QString& key, const QString& fallback) const {
    for (auto w = pending_.rbegin(); w != pending_.rend(); ++w)
        if (w->section == section && w->key == key)
            return w->value;
    const FileRead file = readRegularFile(path_, kMaxFileBytes);
    if (file.status != FileReadStatus::Read)
        return fallback;
    return IniFile(file.bytes).value(section, key).value_or(fallback);
}

void IniSettingsStore::write(const QString& section, const QString& key, const QString& value) {
    if (batchDepth_ > 0) {
        if (!value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')))
            pending_.push_back({section, key, value});
    } else {
        writeAll({{section, key, value}});
    }
}

void IniSettingsStore::beginBatch() {
    ++batchDepth_;
}

void IniSettingsStore::endBatch() {
    if (batchDepth_ == 0 || --batchDepth_ > 0)
        return;
    const std::vector<Write> writes = std::move(pending_);
    pending_.clear();
    if (!writes.empty())
        writeAll(writes);
}

void IniSettingsStore::writeAll(const std::vector<Write>& writes) {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return;
    // The same lock file QSettings uses, so the file is changed by one writer
    // at a time, each starting from what the one before left.
    const QString lockPath = path_ + QStringLiteral(".lock");
    if (!isRegularOrMissing(lockPath)) // QLockFile would wait on a pipe for ever
        return;
    QLockFile lock(lockPath);
    if (!lockWithin(lock, kLockWaitMs))
        return;
    const FileRead file = readRegularFile(path_, kMaxFileBytes);
    if (file.status != FileReadStatus::Read && file.status != FileReadStatus::Missing)
        return;
    IniFile ini(file.bytes);
    bool changed = false;
    for (const Write& w : writes)
        changed = ini.setValue(w.section, w.key, w.value) || changed;
    if (changed)
        replaceRegularFile(path_, ini.bytes());
}
