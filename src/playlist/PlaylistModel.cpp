#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistFields.h"
#include <algorithm>
#include <climits>
#include <span>

namespace {
quint64 newId() {
    static quint64 last = 0; // the user-interface thread's alone
    return ++last;
}
} // namespace

QString PlaylistModel::name(int position) const {
    return valid(position) ? entries_[position].name : QString();
}

QString PlaylistModel::path(int position) const {
    return valid(position) ? entries_[position].path : QString();
}

bool PlaylistModel::checked(int position) const {
    return valid(position) && entries_[position].checked;
}

quint64 PlaylistModel::id(int position) const {
    return valid(position) ? entries_[position].id : 0;
}

int PlaylistModel::positionOf(quint64 id) const {
    if (id == 0)
        return -1;
    for (int i = 0; i < count(); ++i)
        if (entries_[i].id == id)
            return i;
    return -1;
}

bool PlaylistRoom::take(const QString& name, const QString& path) {
    const qint64 line = playlistLineBytes(name, path);
    if (entries < 1 || line > bytes)
        return false;
    --entries;
    bytes -= line;
    return true;
}

int PlaylistModel::fitting(const std::vector<PlaylistEntry>& entries) const {
    PlaylistRoom left = room();
    int fit = 0;
    for (const PlaylistEntry& entry : entries) {
        if (!left.take(entry.name, entry.path))
            break;
        ++fit;
    }
    return fit;
}

bool PlaylistModel::append(const QString& name, const QString& path) {
    if (!fits(name, path))
        return false;
    const int row = count();
    beginInsertRows({}, row, row);
    entries_.push_back({name, path, false, newId()});
    bytes_ += playlistLineBytes(name, path);
    endInsertRows();
    emit countChanged(count());
    return true;
}

void PlaylistModel::appendEntries(const std::vector<PlaylistEntry>& entries) {
    appendRecords(entries, false);
}

void PlaylistModel::appendMoved(const std::vector<PlaylistEntry>& entries) {
    appendRecords(entries, true);
}

void PlaylistModel::appendRecords(const std::vector<PlaylistEntry>& entries, bool keepIds) {
    // Callers make room first; what would pass the bound is never taken.
    const int arriving = fitting(entries);
    if (arriving <= 0)
        return;
    const int first = count();
    beginInsertRows({}, first, first + arriving - 1);
    entries_.reserve(entries_.size() + arriving);
    for (const PlaylistEntry& entry : std::span(entries).first(arriving)) {
        entries_.push_back(
            {entry.name, entry.path, false, keepIds && entry.id != 0 ? entry.id : newId(), entry.seconds});
        bytes_ += playlistLineBytes(entry.name, entry.path);
    }
    endInsertRows();
    emit countChanged(count());
}

void PlaylistModel::removeAt(int position) {
    if (!valid(position))
        return;
    removeRange(position, position);
    emit countChanged(count());
}

void PlaylistModel::removeRange(int first, int last) {
    beginRemoveRows({}, first, last);
    for (int i = first; i <= last; ++i)
        bytes_ -= playlistLineBytes(entries_[i].name, entries_[i].path);
    entries_.erase(entries_.begin() + first, entries_.begin() + last + 1);
    endRemoveRows();
}

void PlaylistModel::removePositions(const std::vector<int>& ascending) {
    // Only positions that exist, strictly rising, take part.
    int first = -1, last = -1, taken = 0, previous = -1;
    bool oneRun = true;
    for (int position : ascending) {
        if (!valid(position) || position <= previous)
            continue;
        if (first < 0)
            first = position;
        else if (position != last + 1)
            oneRun = false;
        last = previous = position;
        ++taken;
    }
    if (taken == 0)
        return;
    if (oneRun) {
        removeRange(first, last);
    } else {
        beginResetModel();
        // Skipping every value below the position reached picks exactly the
        // rising positions counted above.
        auto next = ascending.begin();
        int kept = first;
        for (int position = first; position < count(); ++position) {
            while (next != ascending.end() && *next < position)
                ++next;
            if (next != ascending.end() && *next == position) {
                bytes_ -= playlistLineBytes(entries_[position].name, entries_[position].path);
                continue;
            }
            if (kept != position)
                entries_[kept] = std::move(entries_[position]);
            ++kept;
        }
        entries_.resize(kept);
        endResetModel();
    }
    emit countChanged(count());
}

void PlaylistModel::clear() {
    if (entries_.empty())
        return;
    beginResetModel();
    entries_.clear();
    bytes_ = 0;
    endResetModel();
    emit countChanged(0);
}

void PlaylistModel::setChecked(int position, bool checked) {
    if (!valid(position) || entries_[position].checked == checked)
        return;
    entries_[position].checked = checked;
    const QModelIndex changed = index(position);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

QModelIndex PlaylistModel::index(int row, int column, const QModelIndex& parent) const {
    return column == 0 && valid(row) && !parent.isValid() ? createIndex(row, 0) : QModelIndex();
}

int PlaylistModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !valid(index.row()))
        return {};
    const PlaylistEntry& entry = entries_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return entry.name;
    case Qt::CheckStateRole:
        return entry.checked ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole:
        return entry.path;
    default:
        return {};
    }
}

bool PlaylistModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid())
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags PlaylistModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}
