#include "ui/main/browser/FileList.h"
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStringListModel>

FileList::FileList(QWidget* parent)
    : QListView(parent), model_(new QStringListModel(this)), patterns_(QStringLiteral("*.*")) {
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (!current.isValid() || focusing_)
            return;
        clickedRow_ = current.row();
        emit fileClicked(current.row(), entry(current.row()));
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() != clickedRow_)
            emit fileClicked(index.row(), entry(index.row()));
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit fileActivated(index.row(), entry(index.row()));
    });
}

void FileList::setPath(const QString& path) {
    path_ = path;
    refresh();
}

void FileList::setPattern(const QString& pattern) {
    // The same patterns again list the same files: the folder is not read twice.
    if (pattern == patterns_.text())
        return;
    patterns_ = PatternList(pattern);
    refresh();
}

void FileList::refresh() {
    names_ = path_.isEmpty() ? QStringList() : listMatchingFiles(path_, patterns_);
    clickedRow_ = -1;
    model_->setStringList(names_);
}

QString FileList::entry(int index) const {
    return index >= 0 && index < names_.size() ? names_[index] : QString();
}

int FileList::selectedIndex() const {
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current.row() : -1;
}

void FileList::setSelectedIndex(int index) {
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentIndex({});
        return;
    }
    setCurrentIndex(model_->index(index, 0));
}

void FileList::mousePressEvent(QMouseEvent* event) {
    // A press that does not move the selection is announced by clicked().
    clickedRow_ = -1;
    QListView::mousePressEvent(event);
}

// Qt makes the first row current when the list gets the focus by a key (Tab):
// that is no file the user chose, and the list goes back to having none.
void FileList::focusInEvent(QFocusEvent* event) {
    const bool chosen = currentIndex().isValid();
    QScopedValueRollback<bool> focusing(focusing_, true);
    QListView::focusInEvent(event);
    if (!chosen)
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
}

void FileList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int index = selectedIndex(); index >= 0)
            emit fileActivated(index, entry(index));
        break;
    case Qt::Key_Plus:
        refresh();
        emit refreshRequested();
        break;
    case Qt::Key_Space:
        if (!event->modifiers().testFlag(Qt::ControlModifier))
            return QListView::keyPressEvent(event);
        emit openInFileManager(path_);
        break;
    default:
        return QListView::keyPressEvent(event);
    }
    event->accept();
}
