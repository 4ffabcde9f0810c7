#include "platform/UserName.h"
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

QString loginNameOrDefault(const QString& systemName) {
    if (systemName.isEmpty() || systemName == QLatin1String(" "))
        return QStringLiteral("Default");
    return systemName;
}

QString ReadUserName() {
    QString name;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name)
        name = QString::fromLocal8Bit(entry->pw_name);
    if (name.isEmpty())
        if (const char* user = std::getenv("USER"))
            name = QString::fromLocal8Bit(user);
    return loginNameOrDefault(name);
}
