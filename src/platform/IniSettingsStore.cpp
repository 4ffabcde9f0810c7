#include "platform/IniSettingsStore.h"
#include <QSettings>

IniSettingsStore::IniSettingsStore(const QString& loginName)
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Quelba Kivo Player"), loginName.toUpper())) {}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::read(const QString& section, const QString& key, const QString& fallback) const {
    return settings_->value(section + QLatin1Char('/') + key, fallback).toString();
}

void IniSettingsStore::write(const QString& section, const QString& key, const QString& value) {
    settings_->setValue(section + QLatin1Char('/') + key, value);
    // Written at once (QSettings replaces the file through a temporary one), so
    // a crash later in the run never loses a stored value.
    settings_->sync();
}

QString IniSettingsStore::fileName() const {
    return settings_->fileName();
}
