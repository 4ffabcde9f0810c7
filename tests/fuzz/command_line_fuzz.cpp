#include "FuzzCheck.h"
#include "core/CommandLine.h"
#include "playlist/PlaylistKinds.h"
#include <QStringList>

// Arbitrary bytes cut at NULs into the program's arguments, decoded as the
// application decodes its arguments: the playlist start-up loads must be the
// command line itself or the command line without its surrounding quotes, and
// must be a playlist the player loads; a single argument naming a playlist
// must arrive whole, whatever it holds.
void fuzzOne(const QByteArray& input) {
    QStringList arguments;
    for (const QByteArray& argument : input.split('\0'))
        arguments << QString::fromLocal8Bit(argument);

    const QString line = joinCommandLine(arguments);
    fuzzCheck(line.size() == arguments.join(QString()).size() + arguments.size() - 1);
    const QString playlist = commandLinePlaylist(line);
    if (!playlist.isEmpty())
        fuzzCheck(isLoadablePlaylist(playlist) &&
                  (playlist == line || QLatin1Char('"') + playlist + QLatin1Char('"') == line));
    const QString& only = arguments.first();
    if (arguments.size() == 1 && isLoadablePlaylist(only) &&
        !(only.startsWith(QLatin1Char('"')) && only.endsWith(QLatin1Char('"'))))
        fuzzCheck(playlist == only);
    fuzzCheck(commandLineListsEveryFile(line) == line.toUpper().contains(QLatin1String("/QXVTR")));
}
