// The options window's file buttons: the playlist load and save buttons, the
// auto-save path and the preset folders.
#include "browser/BrowserPaths.h"
#include "core/AppState.h"
#include "platform/Dialogs.h"
#include "playlist/PlaylistFileOps.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/options/OptionsHost.h"
#include "ui/options/frmOtp.h"
#include <QPushButton>

void frmOtp::wireFileButtons() {
    connect(CMDGetSavePath, &QPushButton::clicked, this, &frmOtp::CMDGetSavePath_Click);
    connect(cmdLoadPlaylist, &QPushButton::clicked, this, &frmOtp::cmdLoadPlaylist_Click);
    connect(cmdSavePlaylist, &QPushButton::clicked, this, &frmOtp::cmdSavePlaylist_Click);
    for (int i = 0; i < AppState::kPresetCount; ++i)
        connect(cmdPresetSet[i], &QPushButton::clicked, this, [this, i] { cmdPresetSet_Click(i); });
}

void frmOtp::CMDGetSavePath_Click() {
    if (chooseAutoSavePath(c_.state.autoSavePath, host_->browserFolder(), c_.dialogs))
        changed_ = true;
}

void frmOtp::cmdLoadPlaylist_Click() {
    loadPlaylistWithDialog(c_.playlists.shown(), c_.dialogs);
    // The count under the lists follows at once rather than at the next edit.
    host_->showPlaylistCount();
}

void frmOtp::cmdSavePlaylist_Click() {
    savePlaylistAs(c_.playlists.shown(), host_->browserFolder(), c_.dialogs);
}

void frmOtp::cmdPresetSet_Click(int index) {
    changed_ = true;
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Select Folder");
    request.folder = c_.table.defaultFolder();
    const std::optional<QString> chosen = c_.dialogs.openFile(request);
    if (!chosen)
        return;
    if (const std::optional<QString> folder = presetFolderOf(*chosen))
        c_.state.presetFolders[index] = *folder;
}
