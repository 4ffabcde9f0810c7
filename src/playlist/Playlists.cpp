#include "playlist/Playlists.h"

Playlists::Playlists(QObject* parent) : QObject(parent) {
    for (auto& model : models_)
        model = new PlaylistModel(this);
}

void Playlists::setShown(int index) {
    if (index < 0 || index >= tabCount_ || index == shown_)
        return;
    const int previous = shown_;
    shown_ = index;
    emit shownChanged(previous, shown_);
}

void Playlists::setTabCount(int count) {
    count = count == 3 ? 3 : 2;
    if (count == tabCount_)
        return;
    tabCount_ = count;
    if (shown_ >= tabCount_)
        setShown(kA);
    emit tabCountChanged(tabCount_);
}
