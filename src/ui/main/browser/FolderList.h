#pragma once
#include <QListView>
#include <QStringList>

class QStandardItemModel;

// The folder list of the file browser: the current folder, the folders above
// it and the folders inside it, one entry each, one of them highlighted.
// Entries are addressed by index: the current folder is -1, its parent -2
// and so on up to the root; its subfolders are 0, 1, ... in browser order.
//
// Keys: Backspace goes one folder up, Enter opens the highlighted entry (as a
// double-click does), Ctrl+Space asks for the current folder to be opened in
// the file manager.
class FolderList : public QListView {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Opens the folder: false, and nothing changes, when it is no existing
    // folder. Opening the current folder again re-reads its subfolders but
    // does not count as a change.
    bool setPath(const QString& path);
    // Re-reads the subfolders of the current folder.
    void refresh();

    int parentCount() const { return static_cast<int>(chain_.size()) - 1; }
    int subfolderCount() const { return static_cast<int>(subfolders_.size()); }
    // -1 (the current folder) right after a change of path.
    int highlightedIndex() const;
    void setHighlightedIndex(int index);
    // The full path of an entry; empty text for an index with no entry.
    QString entryPath(int index) const;

    // The keys of the list, also reachable without a key event.
    void goUp();
    void openHighlighted();

signals:
    void pathChanged(const QString& path);
    void openInFileManager(const QString& folder);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild();
    int rowOf(int index) const { return index + static_cast<int>(chain_.size()); }

    QStandardItemModel* model_;
    QString path_;
    QStringList chain_;      // the root first, the current folder last, full paths
    QStringList subfolders_; // names
};
