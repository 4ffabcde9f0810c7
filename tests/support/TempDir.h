#pragma once
#include "support/QtPrint.h"
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, removed afterwards.
class TempDir {
public:
    TempDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.filePath(relative); }
    // Writes the bytes, creating parent folders; returns the full path.
    QString write(const QString& relative, const QByteArray& bytes = {}) const;
    QString mkdir(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

QByteArray readAll(const QString& path);
