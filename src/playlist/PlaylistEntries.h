#pragma once
#include "playlist/EntryText.h"
#include <QString>
#include <cstddef>
#include <iterator>
#include <vector>

// One entry of a playlist: what the user sees, the file to play, whether it
// is checked into the play queue, and an id no other entry of the run has
// (0: none yet), by which the entry playing or shown in the name box is found
// again wherever edits have moved it. The length in whole seconds is known
// only for entries read from an M3U playlist (-1: unknown), which gives it
// back when the list is saved as one.
struct PlaylistEntry {
    PlaylistEntry() = default;
    PlaylistEntry(QString name, QString path, bool checked = false, quint64 id = 0, int seconds = -1)
        : name(std::move(name)), path(std::move(path)), id(id), seconds(seconds), checked(checked) {}
    QString name;
    QString path;
    quint64 id = 0;
    int seconds = -1;
    bool checked = false;
};

// An entry as a playlist holds it: 16 bytes and one block for the rest, so a
// million entries of ordinary paths take about 100 MB.
struct StoredEntry {
    EntryText text;
    quint64 id : 63 = 0; // counted from 1: never near the top bit
    quint64 checked : 1 = false;
};

// Entries in order, handed out as PlaylistEntry values.
class PlaylistEntries {
public:
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = PlaylistEntry;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = PlaylistEntry;
        explicit const_iterator(const StoredEntry* at = nullptr) : at_(at) {}
        PlaylistEntry operator*() const { return entry(*at_); }
        const_iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator==(const const_iterator&) const = default;

    private:
        const StoredEntry* at_;
    };

    std::size_t size() const { return records.size(); }
    bool empty() const { return records.empty(); }
    void reserve(std::size_t count) { records.reserve(count); }
    void push_back(const PlaylistEntry& entry) {
        records.push_back({EntryText(entry.name, entry.path, entry.seconds), entry.id, entry.checked});
    }
    PlaylistEntry operator[](std::size_t i) const { return entry(records[i]); }
    PlaylistEntry back() const { return entry(records.back()); }
    const_iterator begin() const { return const_iterator(records.data()); }
    const_iterator end() const { return const_iterator(records.data() + records.size()); }

    static PlaylistEntry entry(const StoredEntry& stored) {
        return {stored.text.name().toString(), stored.text.path().toString(), bool(stored.checked), stored.id,
                stored.text.seconds()};
    }

    std::vector<StoredEntry> records;
};
