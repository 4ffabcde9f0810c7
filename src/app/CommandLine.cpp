#include "app/CommandLine.h"

QString joinCommandLine(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

QString commandLinePlaylist(const QString& commandLine) {
    // Only quotes around the whole line are taken off: a file name on Linux
    // may itself hold a quote, and cutting its ends would name another file.
    const bool quoted = commandLine.size() >= 2 && commandLine.startsWith(QLatin1Char('"')) &&
                        commandLine.endsWith(QLatin1Char('"'));
    const QString path = quoted ? commandLine.mid(1, commandLine.size() - 2) : commandLine;
    if (path.right(5).toUpper() != QLatin1String(".KVPL"))
        return {};
    return path;
}

bool commandLineListsEveryFile(const QString& commandLine) {
    return commandLine.contains(QLatin1String("/QXVTR"), Qt::CaseInsensitive);
}
