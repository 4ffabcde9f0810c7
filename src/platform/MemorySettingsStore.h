#pragma once
#include "platform/SettingsStore.h"
#include <QMap>

// A settings store that lives in memory: for tests and for a run whose INI
// file cannot be used.
class MemorySettingsStore : public SettingsStore {
public:
    QString read(const QString& section, const QString& key, const QString& fallback) const override {
        auto it = values_.find(section + QLatin1Char('/') + key);
        return it == values_.end() ? fallback : *it;
    }
    void write(const QString& section, const QString& key, const QString& value) override {
        values_[section + QLatin1Char('/') + key] = value;
        ++writes_;
    }
    bool contains(const QString& section, const QString& key) const {
        return values_.contains(section + QLatin1Char('/') + key);
    }
    int writeCount() const { return writes_; }
    QString writeFailure() const override { return failure; }
    QString failure; // what a store that could not write would say; values are kept all the same

private:
    QMap<QString, QString> values_;
    int writes_ = 0;
};
