#include "ui/main/PlaylistView.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

void PlaylistView::selectPosition(int row) {
    const QModelIndex index = model() ? model()->index(row, 0) : QModelIndex();
    if (!index.isValid())
        return;
    picked_ = index;
    setCurrentIndex(index);
    ++announced_;
    emit picked(row);
}

void PlaylistView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QListView::currentChanged(current, previous);
    if (current == picked_)
        return;
    if (byUser_ && current.isValid()) {
        picked_ = current;
        ++announced_;
        emit picked(current.row());
        return;
    }
    setCurrentIndex(picked_);
}

// Runs before the selection model moves the current row off the entries
// going, so that the move finds nothing picked to go back to.
void PlaylistView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    if (picked_.isValid() && picked_.row() >= start && picked_.row() <= end)
        picked_ = QPersistentModelIndex();
    QListView::rowsAboutToBeRemoved(parent, start, end);
}

QItemSelectionModel::SelectionFlags PlaylistView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    const auto* mouse = dynamic_cast<const QMouseEvent*>(event);
    // Only the left button's press or drag highlights, as only it picks (the right
    // one carries the floating save button). A release highlights nothing: it
    // would unpick the entry under a Ctrl+click, or highlight one never picked.
    if (mouse && (event->type() == QEvent::MouseButtonRelease ||
                  !(event->type() == QEvent::MouseMove ? mouse->buttons().testFlag(Qt::LeftButton)
                                                       : mouse->button() == Qt::LeftButton)))
        return QItemSelectionModel::NoUpdate;
    return QListView::selectionCommand(index, event);
}

void PlaylistView::mousePressEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    const QModelIndex at = indexAt(event->position().toPoint());
    const int before = announced_;
    {
        QScopedValueRollback<bool> user(byUser_, left);
        QListView::mousePressEvent(event);
    }
    // A click on the entry already selected is a click all the same.
    if (left && at.isValid() && picked_ == at && announced_ == before) {
        ++announced_;
        emit picked(at.row());
    }
}

void PlaylistView::mouseMoveEvent(QMouseEvent* event) {
    QScopedValueRollback<bool> user(byUser_, event->buttons().testFlag(Qt::LeftButton));
    QListView::mouseMoveEvent(event);
}

// A double-click of another button is no double-click on the entry.
void PlaylistView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        QListView::mouseDoubleClickEvent(event);
    else
        mousePressEvent(event);
}

void PlaylistView::keyPressEvent(QKeyEvent* event) {
    QScopedValueRollback<bool> user(byUser_, true);
    QListView::keyPressEvent(event);
}
