#pragma once
#include <QString>
#include <optional>

// Path rules of the file browser. "/" separates; "\" separates too in a path
// written on Windows ("C:\Music"), as settings brought from there hold, but
// below "/" it is an ordinary character of a name.

// The text one folder up: the path cut back through its last separator. A
// path shorter than 4 characters that is not an absolute path below "/" (so
// "/", "c:\", "ab") stays as it is; "/home" gives "/", and a bare drive such
// as "C:" that remains gets "\" back. No separator at all: unchanged.
QString cutBackOneFolder(const QString& path);

// Backspace in the folder list: cutBackOneFolder when the result names an
// existing folder, otherwise the path unchanged.
QString folderUp(const QString& path);

// The full path of a file listed in the browser's folder: folder and name
// joined by exactly one separator ("/" unless the folder already ends in one,
// as a root such as "/" or "c:\" does).
QString browserFilePath(const QString& folder, const QString& name);

// The last component of a path: the text after its last separator.
QString lastComponent(const QString& path);

// The folder holding a path: the text before its last separator, without a
// trailing separator unless it is a root: "" becomes "/", a bare drive such as
// "c:" gets back the separator it lost. A path without any separator gives
// "/".
QString containingFolder(const QString& path);

// The preset folder "choose" makes of a file picked in its dialog: the
// file's folder (containingFolder). Nothing for an empty text or one without
// a separator, which names no folder: the preset keeps its value.
std::optional<QString> presetFolderOf(const QString& chosenFile);

// The folder the browser opens at start-up for the auto-save playlist file.
inline QString autoSaveStartFolder(const QString& autoSavePath) {
    return containingFolder(autoSavePath);
}
