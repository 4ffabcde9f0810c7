#pragma once
#include <QString>

// The login name of the process owner, or "Default" when the system gives
// none (or an empty name, or a single blank).
QString ReadUserName();

// The rule applied to whatever the system gave.
QString loginNameOrDefault(const QString& systemName);
