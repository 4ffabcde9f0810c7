// The device tab "C": Transfer, Files/List and Clear all.
#include "core/AppState.h"
#include "platform/Dialogs.h"
#include "playlist/DeviceTransfer.h"
#include "playlist/Playlists.h"
#include "ui/main/Form1.h"
#include "ui/main/browser/FileList.h"
#include <QDir>
#include <QPushButton>
#include <QTimer>

void Form1::wireDeviceTab() {
    transfer_ = new DeviceTransfer(c_.playlists.at(Playlists::kDevice), {}, this);
    connect(transfer_, &DeviceTransfer::entryCopied, this, [this] {
        UpdateRoomLeftBar();
        showCountOfShown();
    });
    connect(transfer_, &DeviceTransfer::failed, this,
            [this](const QString& reason) { c_.dialogs.message(reason, QStringLiteral("Problem!")); });
    connect(transfer_, &DeviceTransfer::finished, this, [this] {
        cmdTransfer->setEnabled(true);
        UpdateRoomLeftBar();
    });
    connect(cmdTransfer, &QPushButton::clicked, this, &Form1::cmdTransfer_Click);
    connect(cmdListOrFiles, &QPushButton::clicked, this, &Form1::cmdListOrFiles_Click);
    connect(cmdPlayerClear, &QPushButton::clicked, this, &Form1::cmdPlayerClear_Click);
    // "Del" has no action.
}

bool Form1::transferRunning() const {
    return transfer_ && transfer_->running();
}

void Form1::cmdTransfer_Click() {
    if (c_.playlists.shownIndex() != Playlists::kDevice || transferRunning())
        return;
    Timer1->start();
    cmdTransfer->setEnabled(false);
    transfer_->start(c_.state.devicePath, c_.state.nameConvert);
}

void Form1::cmdListOrFiles_Click() {
    if (cmdListOrFiles->text() == QLatin1String("Files")) {
        filePlayer->show();
        cmdListOrFiles->setText(QStringLiteral("List"));
        const QDir device(c_.state.devicePath);
        if (!device.entryList(QDir::Files).isEmpty()) {
            filePlayer->setPath(c_.state.devicePath);
            filePlayer->refresh();
        } else {
            filePlayer->hide();
        }
        return;
    }
    filePlayer->hide();
    cmdListOrFiles->setText(QStringLiteral("Files"));
}

void Form1::cmdPlayerClear_Click() {
    UpdateRoomLeftBar();
}
