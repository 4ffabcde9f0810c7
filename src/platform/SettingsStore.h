#pragma once
#include <QString>

// Per-user store of text values addressed by section and key. The real store
// is an INI file per login; tests use the in-memory one.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key or its section is missing.
    virtual QString read(const QString& section, const QString& key, const QString& fallback) const = 0;
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
};
