#pragma once
// The files the crash-safety test has the program write over and over while
// it kills it: two versions of each, written the way the program writes them.
#include <QByteArray>
#include <QString>

enum class CrashTarget { Playlist, SettingsExport, Tag };

CrashTarget crashTargetNamed(const QString& name);
// The file's bytes after a whole write of version 0 or 1.
QByteArray crashVersionBytes(CrashTarget target, int version);
// Puts version 0 at the path (the tag's file needs its audio first).
void prepareCrashTarget(CrashTarget target, const QString& path);
// Writes the version as the program does; false when the write failed.
bool writeCrashVersion(CrashTarget target, const QString& path, int version);
