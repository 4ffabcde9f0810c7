#include "ui/main/browser/DriveList.h"
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

bool usable(const QStorageInfo& volume) {
    return volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir();
}

} // namespace

QStringList DriveList::mountedVolumes() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (usable(volume))
            roots << volume.rootPath();
    return roots;
}

DriveList::DriveList(QWidget* parent, Volumes volumes) : QComboBox(parent), volumes_(std::move(volumes)) {
    setEditable(false);
    refreshDrives();
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            emit driveChanged(itemText(index));
    });
}

void DriveList::refreshDrives() {
    const QString previous = drive();
    QStringList roots = volumes_();
    roots.removeDuplicates();
    const QString home = QStorageInfo(QDir::homePath()).rootPath();
    if (!home.isEmpty() && !roots.contains(home))
        roots << home;
    roots.sort();

    const QSignalBlocker blocker(this);
    clear();
    addItems(roots);
    int current = findText(previous);
    if (current < 0)
        current = findText(home);
    setCurrentIndex(current);
}

void DriveList::showPopup() {
    refreshDrives();
    QComboBox::showPopup();
}

void DriveList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

QStringList DriveList::drives() const {
    QStringList roots;
    for (int i = 0; i < count(); ++i)
        roots << itemText(i);
    return roots;
}

QString DriveList::drive() const {
    return currentText();
}

bool DriveList::setDrive(const QString& path) {
    if (!path.startsWith(QLatin1Char('/')))
        return false;
    // A folder that is not there (yet) is on the volume of the nearest one that is.
    QString existing = QDir::cleanPath(path);
    while (!QFileInfo::exists(existing))
        existing = QFileInfo(existing).path();
    const QStorageInfo volume(existing);
    if (!usable(volume))
        return false;
    int index = findText(volume.rootPath());
    if (index < 0) {
        const QSignalBlocker blocker(this);
        addItem(volume.rootPath());
        index = count() - 1;
    }
    setCurrentIndex(index);
    return true;
}
