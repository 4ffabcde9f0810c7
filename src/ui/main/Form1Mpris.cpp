// What the desktop's media calls (MPRIS) ask of the main window itself.
#include "ui/main/Form1.h"
#include <QScrollBar>
#include <QTimer>

void Form1::raiseWindow() {
    if (windowState() & Qt::WindowMinimized)
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void Form1::exitProgram() {
    // After the call that asked has been answered: closing may end the
    // program.
    QTimer::singleShot(0, this, &Form1::cmdExit_Click);
}

void Form1::openPlaylist(const QString& path) {
    openHandedOver(path);
}

void Form1::setVolumeSlider(int hundredthsOfDb) {
    hsVolume->setValue(hundredthsOfDb);
}
