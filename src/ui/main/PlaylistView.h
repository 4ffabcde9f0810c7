#pragma once
#include <QListView>
#include <QPersistentModelIndex>

// The visible list of a playlist. Its selected position is -1 until the user
// clicks an entry or moves to one with the keys (or code selects one, which
// counts as a click). A row Qt makes current on its own, when the list gets
// the focus or when the selected entry is removed, is no selection: the list
// goes straight back to the entry the user picked, or to none. The highlight
// is always that entry: only the left button picks, and nothing unpicks one.
class PlaylistView : public QListView {
    Q_OBJECT
public:
    using QListView::QListView;

    int selectedPosition() const { return picked_.isValid() ? picked_.row() : -1; }
    // Selects the entry at `row` and announces it, even when it was selected.
    void selectPosition(int row);

signals:
    // An entry was clicked, moved to with the keys or selected from code.
    void picked(int row);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPersistentModelIndex picked_;
    bool byUser_ = false; // a left-button press or drag, or a key, is being handled
    int announced_ = 0;   // picks announced so far
};
