#pragma once
#include "playlist/PlaylistEntries.h"
#include <QAbstractListModel>
#include <QString>
#include <optional>
#include <vector>

// One playlist: an ordered list of entries, position = insertion order = play
// order. The visible list shows the names with check boxes; the paths travel
// in the same records, so names and paths can never drift apart.
// Far more than any real playlist (counts are not limited to 16 bits); a
// bound that keeps a damaged or hostile file from exhausting memory.
inline constexpr int kMaxPlaylistEntries = 1'000'000;
// Larger playlist files are refused unread: room for a million entries of
// ordinary paths, small enough that reading one never threatens memory.
inline constexpr qint64 kMaxPlaylistFileBytes = 128LL * 1024 * 1024;
// A list never grows past what its saved file can hold (its lines, without
// the end marker and a byte order mark), so whatever is saved loads back.
inline constexpr qint64 kMaxPlaylistLineBytes = kMaxPlaylistFileBytes - 16;

// What a list can still take: entries, and bytes of their saved lines.
struct PlaylistRoom {
    qint64 entries = kMaxPlaylistEntries;
    qint64 bytes = kMaxPlaylistLineBytes;
    // Takes an entry's share and true, or nothing and false when it does not fit.
    bool take(TextView name, TextView path);
    bool take(qint64 lineBytes);
};

class PlaylistModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int count() const { return static_cast<int>(entries_.size()); }
    // What can still arrive. Every way a list grows asks first, so no list
    // ever holds more than its saved file may bring back.
    PlaylistRoom room() const { return {kMaxPlaylistEntries - count(), kMaxPlaylistLineBytes - bytes_}; }
    bool fits(const QString& name, const QString& path) const { return room().take(name, path); }
    // How many of the entries, from the first, fit.
    int fitting(const std::vector<PlaylistEntry>& entries) const;
    int fitting(const PlaylistEntries& entries) const;
    bool isEmpty() const { return entries_.empty(); }
    // Reading at or past the end (or before the start) gives empty texts.
    QString name(int position) const;
    QString path(int position) const;
    // The name as held, for scans over every entry; valid until the list changes.
    TextView nameView(int position) const;
    bool checked(int position) const;
    quint64 id(int position) const;   // 0 outside the list
    int positionOf(quint64 id) const; // -1 when no entry has it
    const PlaylistEntries& entries() const { return entries_; }

    // Entries always arrive unchecked, each with a new id; what does not fit
    // is not taken (false).
    bool append(const QString& name, const QString& path);
    void appendEntries(const std::vector<PlaylistEntry>& entries);
    void appendEntries(PlaylistEntries entries);
    // Entries a reader counted against room(): their lines take lineBytes,
    // and are not counted again when they fit.
    void appendEntries(PlaylistEntries entries, qint64 lineBytes);
    // Entries taken out of another playlist: they stay the same entries, so
    // they keep their ids (and still arrive unchecked).
    void appendMoved(const std::vector<PlaylistEntry>& entries);
    void appendMoved(PlaylistEntries entries);
    void removeAt(int position);
    // Removes the given positions (ascending, each once) in one model change:
    // a plain row removal when they form one run, a reset otherwise. Positions
    // outside the list are ignored. Allocates nothing, so it cannot stop
    // half-way.
    void removePositions(const std::vector<int>& ascending);
    void clear();
    void setChecked(int position, bool checked);

    // The entry being copied to the device (0: none). The edits the user
    // makes leave it where it is; the copy takes it off when it is done.
    void setBusy(quint64 id) { busy_ = id; }
    bool busy(int position) const { return busy_ != 0 && id(position) == busy_; }
    int busyPosition() const { return positionOf(busy_); } // -1 when none

    // A list view asks for the index of every row on each relayout; this
    // answers without the general model's virtual row and column counts.
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void countChanged(int count);

private:
    bool valid(int position) const { return position >= 0 && position < count(); }
    void appendRecords(PlaylistEntries entries, bool keepIds, std::optional<qint64> lineBytes = {});
    void removeRange(int first, int last);
    const StoredEntry& at(int position) const { return entries_.records[position]; }
    PlaylistEntries entries_;
    qint64 bytes_ = 0; // of the entries' saved lines
    quint64 busy_ = 0;
};
