#pragma once
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// Answers "is this an existing file (anything but a folder)?" for the many
// paths of one playlist load, as isExistingFile() does for one path. A
// folder named by more than one path is listed once, and the files it lists
// need no system call of their own; everything the listing cannot settle
// (links, unknown types, names not listed) is asked for path by path. The
// listings are bounded, so a playlist naming huge folders costs no more
// memory than that.
class ExistingFiles {
public:
    bool operator()(const QString& path);

    static constexpr qsizetype kMaxNamesPerFolder = 50'000;
    static constexpr qsizetype kMaxNamesInAll = 200'000;

private:
    struct Folder {
        int seen = 0;
        bool listed = false;
        QSet<QByteArray> files;
    };
    void list(const QByteArray& folder, Folder& into);

    QHash<QByteArray, Folder> folders_;
    qsizetype namesHeld_ = 0;
};
