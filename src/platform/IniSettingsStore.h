#pragma once
#include "platform/SettingsStore.h"
#include <memory>

class QSettings;

// The INI file $XDG_CONFIG_HOME/Quelba Kivo Player/<LOGIN>.ini, one per login name.
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(const QString& loginName);
    ~IniSettingsStore() override;
    QString read(const QString& section, const QString& key, const QString& fallback) const override;
    void write(const QString& section, const QString& key, const QString& value) override;
    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};
