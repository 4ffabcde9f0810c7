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
    return nameView(position).toString();
}

QString PlaylistModel::path(int position) const {
    return valid(position) ? at(position).text.path().toString() : QString();
}

TextView PlaylistModel::nameView(int position) const {
    return valid(position) ? at(position).text.name() : TextView();
}

bool PlaylistModel::checked(int position) const {
    return valid(position) && at(position).checked;
}

quint64 PlaylistModel::id(int position) const {
    return valid(position) ? at(position).id : 0;
}

int PlaylistModel::positionOf(quint64 id) const {
    if (id == 0)
        return -1;
    const std::vector<StoredEntry>& records = entries_.records;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].id == id)
            return static_cast<int>(i);
    return -1;
}

bool PlaylistRoom::take(TextView name, TextView path) {
    return take(playlistLineBytes(name, path));
}

bool PlaylistRoom::take(qint64 line) {
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

int PlaylistModel::fitting(const PlaylistEntries& entries) const {
    PlaylistRoom left = room();
    int fit = 0;
    for (const StoredEntry& entry : entries.records) {
        if (!left.take(entry.text.name(), entry.text.path()))
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
    entries_.records.push_back({EntryText(name, path), newId()});
    bytes_ += playlistLineBytes(name, path);
    endInsertRows();
    emit countChanged(count());
    return true;
}

namespace {
// The entries that fit, held as a list holds them.
PlaylistEntries stored(const std::vector<PlaylistEntry>& entries, int fitting) {
    PlaylistEntries held;
    held.reserve(fitting);
    for (const PlaylistEntry& entry : std::span(entries).first(fitting))
        held.push_back(entry);
    return held;
}
} // namespace

void PlaylistModel::appendEntries(const std::vector<PlaylistEntry>& entries) {
    appendRecords(stored(entries, fitting(entries)), false);
}

void PlaylistModel::appendEntries(PlaylistEntries entries) {
    appendRecords(std::move(entries), false);
}

void PlaylistModel::appendEntries(PlaylistEntries entries, qint64 lineBytes) {
    appendRecords(std::move(entries), false, lineBytes);
}

void PlaylistModel::appendMoved(const std::vector<PlaylistEntry>& entries) {
    appendRecords(stored(entries, fitting(entries)), true);
}

void PlaylistModel::appendMoved(PlaylistEntries entries) {
    appendRecords(std::move(entries), true);
}

void PlaylistModel::appendRecords(PlaylistEntries entries, bool keepIds, std::optional<qint64> lineBytes) {
    // Callers make room first; what would pass the bound is never taken.
    PlaylistRoom left = room();
    std::vector<StoredEntry>& records = entries.records;
    const bool counted =
        lineBytes && *lineBytes >= 0 && *lineBytes <= left.bytes && qint64(records.size()) <= left.entries;
    if (counted) {
        left.bytes -= *lineBytes;
        left.entries -= qint64(records.size());
    }
    int arriving = 0;
    for (StoredEntry& entry : records) {
        if (!counted && !left.take(playlistLineBytes(entry.text.name(), entry.text.path())))
            break;
        entry.checked = false;
        if (!keepIds || entry.id == 0)
            entry.id = newId();
        ++arriving;
    }
    if (arriving <= 0)
        return;
    records.erase(records.begin() + arriving, records.end());
    bytes_ = kMaxPlaylistLineBytes - left.bytes;
    const int first = count();
    beginInsertRows({}, first, first + arriving - 1);
    // A load into an empty list takes the records as they are.
    if (entries_.empty()) {
        entries_.records = std::move(records);
        // Room kept for a long file whose entries were mostly left out goes back.
        if (entries_.records.capacity() > 2 * entries_.records.size())
            entries_.records.shrink_to_fit();
    } else {
        entries_.records.insert(entries_.records.end(), std::make_move_iterator(records.begin()),
                                std::make_move_iterator(records.end()));
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
        bytes_ -= playlistLineBytes(at(i).text.name(), at(i).text.path());
    entries_.records.erase(entries_.records.begin() + first, entries_.records.begin() + last + 1);
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
                bytes_ -= playlistLineBytes(at(position).text.name(), at(position).text.path());
                continue;
            }
            if (kept != position)
                entries_.records[kept] = std::move(entries_.records[position]);
            ++kept;
        }
        entries_.records.resize(kept);
        endResetModel();
    }
    emit countChanged(count());
}

void PlaylistModel::clear() {
    if (entries_.empty())
        return;
    beginResetModel();
    entries_.records = {}; // a million entries' records go back too
    bytes_ = 0;
    endResetModel();
    emit countChanged(0);
}

void PlaylistModel::setChecked(int position, bool checked) {
    if (!valid(position) || at(position).checked == checked)
        return;
    entries_.records[position].checked = checked;
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
    const StoredEntry& entry = at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return entry.text.name().toString();
    case Qt::CheckStateRole:
        return entry.checked ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole:
        return entry.text.path().toString();
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
