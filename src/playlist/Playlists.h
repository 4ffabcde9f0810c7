#pragma once
#include "playlist/PlaylistModel.h"
#include <QObject>
#include <array>

// The three playlists (A, B and the device list C) and which one is shown.
// The shown playlist is the current tab; a change, by the user or by code,
// is announced with the previous one.
class Playlists : public QObject {
    Q_OBJECT
public:
    static constexpr int kA = 0, kB = 1, kDevice = 2;

    explicit Playlists(QObject* parent = nullptr);

    PlaylistModel& at(int index) { return *models_.at(index); }
    const PlaylistModel& at(int index) const { return *models_.at(index); }
    PlaylistModel& shown() { return at(shown_); }
    const PlaylistModel& shown() const { return at(shown_); }
    int shownIndex() const { return shown_; }
    void setShown(int index);

    // 2 tabs, or 3 when the device tab is on.
    int tabCount() const { return tabCount_; }
    void setTabCount(int count);

    // The other playlist of A is B; of B and of the device list, A.
    static int other(int index) { return index == kA ? kB : kA; }

signals:
    void shownChanged(int previous, int current);
    void tabCountChanged(int count);

private:
    std::array<PlaylistModel*, 3> models_{};
    int shown_ = kA;
    int tabCount_ = 2;
};
