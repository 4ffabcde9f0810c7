#include "platform/IniSettingsStore.h"
#include "platform/IniFile.h"
#include "platform/RegularFile.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <sys/stat.h>

namespace {
const QString kLineBreak = QStringLiteral("a value holds a line break");

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

std::optional<IniSettingsStore::Stamp> IniSettingsStore::stamp() const {
    struct stat info;
    if (::stat(QFile::encodeName(path_).constData(), &info) != 0)
        return std::nullopt;
    auto ns = [](const timespec& t) {
        return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    };
    return Stamp{info.st_dev, info.st_ino, info.st_size, ns(info.st_mtim), ns(info.st_ctim)};
}

const IniFile* IniSettingsStore::parsed() const {
    const std::optional<Stamp> now = stamp();
    if (!now) {
        cache_.reset();
        return nullptr;
    }
    if (cache_ && *now == cacheStamp_)
        return &*cache_;
    // Stamped before the read: a change made meanwhile is read at the next call.
    const FileRead file = readRegularFile(path_, kMaxFileBytes);
    if (file.status != FileReadStatus::Read) {
        cache_.reset();
        return nullptr;
    }
    cache_.emplace(file.bytes);
    cacheStamp_ = *now;
    return &*cache_;
}

QString IniSettingsStore::read(const QString& section, const QString& key, const QString& fallback) const {
    for (auto w = pending_.rbegin(); w != pending_.rend(); ++w)
        if (w->section == section && w->key == key)
            return w->value;
    const IniFile* ini = parsed();
    return ini ? ini->value(section, key).value_or(fallback) : fallback;
}

void IniSettingsStore::write(const QString& section, const QString& key, const QString& value) {
    const bool lineBreak = value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    if (batchDepth_ == 0) {
        failure_ = lineBreak ? kLineBreak : writeAll({{section, key, value}});
    } else if (lineBreak) {
        batchFailure_ = kLineBreak;
    } else {
        pending_.push_back({section, key, value});
    }
}

void IniSettingsStore::beginBatch() {
    if (batchDepth_++ == 0)
        batchFailure_.clear();
}

void IniSettingsStore::endBatch() {
    if (batchDepth_ == 0 || --batchDepth_ > 0)
        return;
    const std::vector<Write> writes = std::move(pending_);
    pending_.clear();
    failure_ = writes.empty() ? QString() : writeAll(writes);
    if (failure_.isEmpty())
        failure_ = batchFailure_;
}

QString IniSettingsStore::writeAll(const std::vector<Write>& writes) {
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("the folder %1 cannot be made").arg(folder);
    // The same lock file QSettings uses, so the file is changed by one writer
    // at a time, each starting from what the one before left.
    const QString lockPath = path_ + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    // QLockFile would wait on a pipe for ever.
    if (!isRegularOrMissing(lockPath) || !lockWithin(lock, kLockWaitMs))
        return QStringLiteral("%1 is locked by another program").arg(path_);
    const FileRead file = readRegularFile(path_, kMaxFileBytes);
    if (file.status != FileReadStatus::Read && file.status != FileReadStatus::Missing)
        return QStringLiteral("%1 cannot be read").arg(path_);
    IniFile ini(file.bytes);
    bool changed = false;
    for (const Write& w : writes)
        changed = ini.setValue(w.section, w.key, w.value) || changed;
    if (!changed)
        return {};
    // What the reader would refuse is never written.
    const QByteArray bytes = ini.bytes();
    if (bytes.size() > kMaxFileBytes)
        return QStringLiteral("%1 would grow past %2 bytes").arg(path_).arg(kMaxFileBytes);
    if (!replaceRegularFile(path_, bytes))
        return QStringLiteral("%1 cannot be written").arg(path_);
    return {};
}
