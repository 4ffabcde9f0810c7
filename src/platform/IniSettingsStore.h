#pragma once
#include "platform/IniFile.h"
#include "platform/SettingsStore.h"
#include <optional>
#include <sys/types.h>
#include <vector>

// The INI file $XDG_CONFIG_HOME/Quelba Kivo Player/<LOGIN>.ini, one per login
// name, kept like the registry: every value is the exact text written (see
// IniFile). No other file is ever consulted. Each write locks the file, reads
// it again and replaces it whole, so two players writing at once both land.
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(const QString& loginName);
    // The file is parsed once and read again only when it has changed.
    QString read(const QString& section, const QString& key, const QString& fallback) const override;
    // Stores nothing, and says why in writeFailure(), when the value holds a
    // line break, when the file cannot be read whole or is not a regular
    // file, when it stays locked by another player, when the new file would
    // be larger than the reader takes, or when it cannot be replaced.
    void write(const QString& section, const QString& key, const QString& value) override;
    void beginBatch() override;
    void endBatch() override;
    QString writeFailure() const override { return failure_; }
    QString fileName() const { return path_; }

    // Far beyond any settings file; a larger one is neither read nor written.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

private:
    struct Write {
        QString section, key, value;
    };
    // Changes the file once for all of them; the reason when it could not.
    QString writeAll(const std::vector<Write>& writes);
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        qint64 modified = 0, changed = 0; // nanoseconds
        bool operator==(const Stamp&) const = default;
    };
    std::optional<Stamp> stamp() const;
    const IniFile* parsed() const;

    QString path_;
    int batchDepth_ = 0;
    std::vector<Write> pending_;
    QString failure_;
    QString batchFailure_; // a value of the open batch refused
    // The file as last read, and the stamp it had then.
    mutable std::optional<IniFile> cache_;
    mutable Stamp cacheStamp_;
};
