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
    // Why the last write, or the last batch, was not stored; empty when it was.
    virtual QString writeFailure() const { return {}; }

    // Writes made between the two land together; a store kept in a file
    // changes the file once. Batches nest; reads see the batch's writes.
    virtual void beginBatch() {}
    virtual void endBatch() {}
};

// A batch for the guard's lifetime.
class SettingsBatch {
public:
    explicit SettingsBatch(SettingsStore& store) : store_(store) { store_.beginBatch(); }
    ~SettingsBatch() { store_.endBatch(); }
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;

private:
    SettingsStore& store_;
};
