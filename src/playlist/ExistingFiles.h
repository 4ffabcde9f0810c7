#pragma once
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// Answers "is this an existing file (anything but a folder)?" for the many
// paths of one playlist load, as isExistingFile() does for one path. A
// folder named by more than one path is listed once, and the files it lists
// need no system call of their own, nor do those of a folder that is not
// there; everything the listing cannot settle
// (links, unknown types, names not listed) is asked for path by path. The
// listings are bounded, so a playlist naming huge folders costs no more
// memory than that.
class ExistingFiles {
public:
    enum class Kind {
        AnyButFolder, // what a .KVPL load takes
        RegularOnly,  // regular files only (links followed)
    };
    explicit ExistingFiles(Kind kind = Kind::AnyButFolder) : kind_(kind) {}
    bool operator()(const QString& path);

    static constexpr qsizetype kMaxNamesPerFolder = 50'000;
    static constexpr qsizetype kMaxNamesInAll = 200'000;

private:
    struct Folder {
        int seen = 0;
        bool listed = false;
        bool unreachable = false; // missing, or not searchable
        QSet<QByteArray> files;
    };
    void list(const QByteArray& folder, Folder& into);
    bool checkOne(const QString& path) const;

    Kind kind_;

    QHash<QByteArray, Folder> folders_;
    qsizetype namesHeld_ = 0;
};
