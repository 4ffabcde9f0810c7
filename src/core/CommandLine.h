#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The program's command line, as start-up reads it: one text, the arguments
// joined by blanks, so that a playlist path holding blanks arrives whole.

// The command line as one text: the program's arguments joined by blanks.
QString joinCommandLine(const QStringList& arguments);

// The command line from the arguments as the program was given them. A playlist named there with bytes that
// are not UTF-8 cannot be opened by its decoded name, which names another file or none: it is taken out
// (the hidden switch stays) and its name, decoded, is kept for the message that says so.
struct CommandLineArguments {
    QString line;
    QString unnamablePlaylist; // empty: none
};
CommandLineArguments commandLineArguments(const QList<QByteArray>& given);

// The playlist the command line names, or an empty text when it names none:
// the whole command line, without the quotes around it when it stands in
// quotes, when it names a playlist the player loads (.KVPL, .m3u, .m3u8).
QString commandLinePlaylist(const QString& commandLine);

// The command line a second start hands to the player already running (which
// runs in another folder): a relative playlist path is made whole from
// `workingFolder` and put in quotes; any other command line is unchanged.
QString commandLineForHandOver(const QString& commandLine, const QString& workingFolder);

// The hidden switch "/QXVTR" (any letter case, anywhere in the command line)
// makes the browser list every file.
bool commandLineListsEveryFile(const QString& commandLine);
