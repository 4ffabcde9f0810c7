#pragma once
// The files the crash-safety test has the program write over and over while it kills it: two versions of
// each target ("playlist", "export", "tag"), written the way the program writes them.
#include <QByteArray>
#include <QString>

QByteArray crashVersionBytes(const QString& target, int version); // the file after a whole write
bool writeCrashVersion(const QString& target, const QString& path, int version); // false: the write failed
