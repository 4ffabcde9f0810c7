#pragma once
#include "browser/PatternList.h"
#include <QListView>

class QStringListModel;

// The file list of the file browser: the names of the regular files of a
// folder that match a pattern list, in browser order; no folders.
//
// Keys: Enter activates the selected file (as a double-click does), "+"
// re-reads the folder, Ctrl+Space asks for the folder to be opened in the
// file manager.
class FileList : public QListView {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Both re-read the folder and leave nothing selected (a pattern equal to
    // the current one changes nothing).
    void setPath(const QString& path);
    QString pattern() const { return patterns_.text(); }
    void setPattern(const QString& pattern);
    void refresh();

    int count() const { return static_cast<int>(names_.size()); }
    // The name at a position; empty text outside the list.
    QString entry(int index) const;
    const QStringList& entries() const { return names_; }
    // -1 when nothing is selected.
    int selectedIndex() const;
    void setSelectedIndex(int index);

signals:
    // A file was selected, by a click or by the arrow keys (a click on the
    // selected file counts again).
    void fileClicked(int index, const QString& name);
    // A double-click, or Enter with a file selected.
    void fileActivated(int index, const QString& name);
    // "+" was pressed; the list has already re-read its folder.
    void refreshRequested();
    void openInFileManager(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QStringListModel* model_;
    QString path_;
    PatternList patterns_;
    QStringList names_;
    int clickedRow_ = -1;   // the row a mouse press already announced
    bool focusing_ = false; // the list is taking the focus
};
