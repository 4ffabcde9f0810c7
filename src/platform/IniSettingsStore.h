#pragma once
#include "platform/SettingsStore.h"
#include <vector>

// The INI file $XDG_CONFIG_HOME/Quelba Kivo Player/<LOGIN>.ini, one per login
// name, kept like the registry: every value is the exact text written (see
// IniFile). No other file is ever consulted. Each write locks the file, reads
// it again and replaces it whole, so two players writing at once both land.
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(const QString& loginName);
    QString read(const QString& section, const QString& key, const QString& fallback) const override;
    // Fails quietly (the file stays as it was) when the value holds a line
    // break, when the file cannot be read whole or is not a regular file, or
    // when it stays locked by another player.
    void write(const QString& section, const QString& key, const QString& value) override;
    void beginBatch() override;
    void endBatch() override;
    QString fileName() const { return path_; }

    // Far beyond any settings file; a larger one is neither read nor replaced.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

private:
    struct Write {
        QString section, key, value;
    };
    // Changes the file once for all of them.
    void writeAll(const std::vector<Write>& writes);

    QString path_;
    int batchDepth_ = 0;
    std::vector<Write> pending_;
};
