#include "core/CommandLine.h"
#include "playlist/PlaylistKinds.h"
#include <QDir>
#include <QFile>

QString joinCommandLine(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

CommandLineArguments commandLineArguments(const QList<QByteArray>& given) {
    QStringList decoded;
    bool exact = true;
    for (const QByteArray& argument : given) {
        decoded << QFile::decodeName(argument);
        exact = exact && QFile::encodeName(decoded.back()) == argument;
    }
    CommandLineArguments arguments{joinCommandLine(decoded), {}};
    if (exact)
        return arguments;
    arguments.unnamablePlaylist = commandLinePlaylist(arguments.line);
    if (!arguments.unnamablePlaylist.isEmpty())
        arguments.line = commandLineListsEveryFile(arguments.line) ? QStringLiteral("/QXVTR") : QString();
    return arguments;
}

QString commandLinePlaylist(const QString& commandLine) {
    // Only quotes around the whole line are taken off: a file name on Linux
    // may itself hold a quote, and cutting its ends would name another file.
    const bool quoted = commandLine.size() >= 2 && commandLine.startsWith(QLatin1Char('"')) &&
                        commandLine.endsWith(QLatin1Char('"'));
    const QString path = quoted ? commandLine.mid(1, commandLine.size() - 2) : commandLine;
    return isLoadablePlaylist(path) ? path : QString();
}

QString commandLineForHandOver(const QString& commandLine, const QString& workingFolder) {
    const QString path = commandLinePlaylist(commandLine);
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')))
        return commandLine;
    return QLatin1Char('"') + QDir(workingFolder).filePath(path) + QLatin1Char('"');
}

bool commandLineListsEveryFile(const QString& commandLine) {
    return commandLine.contains(QLatin1String("/QXVTR"), Qt::CaseInsensitive);
}
