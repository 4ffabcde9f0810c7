#include "ui/main/browser/FolderList.h"
#include "browser/BrowserPaths.h"
#include "browser/DirectoryListing.h"
#include "ui/ButtonPictures.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 10;

// Indents each entry by its depth below the root, so the folders above the
// current one read as a path and its subfolders sit one step further in.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->rect.adjust(index.data(kDepthRole).toInt() * kIndentPixels, 0, 0, 0);
    }
};

// The folders from the root down to the folder itself, as full paths.
QStringList chainOf(const QString& folder) {
    QStringList chain;
    for (QDir dir(folder);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    return chain;
}

} // namespace

FolderList::FolderList(QWidget* parent) : QListView(parent), model_(new QStandardItemModel(this)) {
    setModel(model_);
    setItemDelegate(new IndentDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // The folder pictures are drawn to any size asked for: rows of the height of a line of text.
    const int picture = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    setIconSize(QSize(picture, picture));
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        setHighlightedIndex(index.row() - static_cast<int>(chain_.size()));
        openHighlighted();
    });
    setPath(QDir::homePath());
}

bool FolderList::setPath(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    const QString cleaned = QDir::cleanPath(info.absoluteFilePath());
    const bool changed = cleaned != path_;
    path_ = cleaned;
    chain_ = chainOf(path_);
    rebuild();
    if (changed)
        emit pathChanged(path_);
    return true;
}

void FolderList::refresh() {
    rebuild();
}

void FolderList::rebuild() {
    subfolders_ = listSubfolders(path_);
    model_->clear();
    const QIcon open = buttonPicture(Picture::FolderOpen);
    const QIcon closed = buttonPicture(Picture::FolderClosed);
    for (qsizetype depth = 0; depth < chain_.size(); ++depth) {
        const QString name = depth == 0 ? chain_[0] : QFileInfo(chain_[depth]).fileName();
        auto* item = new QStandardItem(open, name);
        item->setData(static_cast<int>(depth), kDepthRole);
        item->setToolTip(chain_[depth]);
        model_->appendRow(item);
    }
    const int subDepth = static_cast<int>(chain_.size());
    for (const QString& name : subfolders_) {
        auto* item = new QStandardItem(closed, name);
        item->setData(subDepth, kDepthRole);
        model_->appendRow(item);
    }
    setHighlightedIndex(-1);
}

int FolderList::highlightedIndex() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() - static_cast<int>(chain_.size()) : -1;
}

void FolderList::setHighlightedIndex(int index) {
    const int row = rowOf(index);
    if (row < 0 || row >= model_->rowCount())
        return;
    setCurrentIndex(model_->index(row, 0));
}

QString FolderList::entryPath(int index) const {
    if (index < 0) {
        const int position = static_cast<int>(chain_.size()) + index;
        return position >= 0 ? chain_[position] : QString();
    }
    if (index >= subfolders_.size())
        return {};
    return browserFilePath(path_, subfolders_[index]);
}

void FolderList::goUp() {
    setPath(folderUp(path_));
}

void FolderList::openHighlighted() {
    const QString target = entryPath(highlightedIndex());
    // A folder removed since the list was read: show what is there now.
    if (!target.isEmpty() && !setPath(target))
        rebuild();
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
        goUp();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openHighlighted();
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
