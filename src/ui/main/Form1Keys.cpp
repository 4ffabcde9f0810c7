// The main window's function keys and the track information button.
#include "core/AppState.h"
#include "platform/Dialogs.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "tags/TrackInfo.h"
#include "ui/main/Form1.h"
#include "ui/main/PlaylistView.h"
#include "ui/main/browser/FileList.h"
#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <chrono>

namespace {
const QString kHelpTitle = QStringLiteral("Quelba Kivo Player Help!");
const QString kHelpText =
    QStringLiteral("F1  Help!\r\n"
                   "F2 Current Song Information\r\n"
                   "F3  Set and select search box  (arrow keys Up and Down got hrough list)\r\n"
                   "F4  Toggles Time button Same as clicking on Time label\r\n"
                   "F5  Refresh file listbox Same as +\r\n"
                   "F6\r\n"
                   "F7\r\n"
                   "F8\r\n"
                   "F9  Toggles Tabs\r\n"
                   "F10 Toggles the Screen\r\n"
                   "F11 Copies the Selected File (Must have focus) to Other Playlist\r\n"
                   "F12 MOVES the Selected file (must have focus) to other playlist");

// The window sees every key released inside it before the control that has
// the focus; a key the window answers goes no further.
class KeyPreview : public QObject {
public:
    explicit KeyPreview(Form1* window) : QObject(window), window_(window) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyRelease && event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->isAutoRepeat() || !widget || (widget != window_ && !window_->isAncestorOf(widget)))
            return false;
        const bool opensBox = key->key() == Qt::Key_F1 || key->key() == Qt::Key_F2;
        if (event->type() == QEvent::KeyPress) {
            if (opensBox)
                waiting_.remove(key->key()); // the release was the key's own repeat
            return false;
        }
        if (!opensBox)
            return window_->Form_KeyUp(key->key());
        // A held key's repeat is a release followed at once by a press, which
        // the system does not always mark as a repeat: a key that opens a box
        // is answered only when no press follows within a moment.
        const int code = key->key();
        const quint64 release = ++releases_;
        waiting_[code] = release;
        QTimer::singleShot(kRepeatGap, this, [this, code, release] {
            if (waiting_.value(code) == release && waiting_.remove(code))
                window_->Form_KeyUp(code);
        });
        return true;
    }

private:
    static constexpr std::chrono::milliseconds kRepeatGap{30};
    Form1* window_;
    QHash<int, quint64> waiting_; // key -> its last release, not yet answered
    quint64 releases_ = 0;
};
} // namespace

void Form1::wireKeys() {
    new KeyPreview(this);
    connect(CMDFileinfo, &QPushButton::clicked, this, &Form1::CMDFileinfo_Click);
}

bool Form1::Form_KeyUp(int key) {
    switch (key) {
    case Qt::Key_F1:
        c_.dialogs.message(kHelpText, kHelpTitle);
        return true;
    case Qt::Key_F2:
        showPlayingTrackInfo();
        return true;
    case Qt::Key_F3:
        focusSearchBox();
        return true;
    case Qt::Key_F4:
        LblTime_Click();
        return true;
    case Qt::Key_F5:
        FileBox->refresh();
        return true;
    case Qt::Key_F6:
    case Qt::Key_F7:
    case Qt::Key_F8:
        return true;
    case Qt::Key_F9:
        c_.playlists.setShown(c_.playlists.shownIndex() == Playlists::kB ? Playlists::kA : Playlists::kB);
        return true;
    case Qt::Key_F10:
        cmdShowScreen->click();
        return true;
    default:
        return false;
    }
}

void Form1::CMDFileinfo_Click() {
    c_.dialogs.message(BuildTrackInfo(c_.state.selectedPath, txtNameBox->text()), kTrackInfoTitle);
}

// The playing entry comes into view, selected, before its sheet is shown.
void Form1::showPlayingTrackInfo() {
    const int list = c_.state.playingPlaylist;
    if (!transport_->playing() || list < 0 || list >= c_.playlists.tabCount())
        return;
    c_.playlists.setShown(list);
    const PlaylistModel& model = c_.playlists.at(list);
    const int entry = model.positionOf(c_.state.playingEntry);
    if (entry < 0)
        return;
    playlistView(list)->selectPosition(entry);
    c_.dialogs.message(BuildTrackInfo(model.path(entry), model.name(entry)), kTrackInfoTitle);
}
