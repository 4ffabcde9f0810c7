#pragma once
#include <QList>
#include <QStringList>
#include <QUrl>

// The local file paths of dropped URLs, in order. A path whose bytes are not
// UTF-8 is left out: as text it would name another file (or none), and the
// entry would play nothing.
QStringList droppedLocalPaths(const QList<QUrl>& urls);
