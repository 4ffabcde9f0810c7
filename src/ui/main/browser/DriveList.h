#pragma once
#include <QComboBox>
#include <QStringList>
#include <functional>

// The drive list of the file browser: the mounted volumes that can be read,
// shown by their root paths ("/", "/media/usb", ...), always with the volume
// of the home folder among them. The volumes are read again each time the
// list opens, so that one mounted since appears.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    // The root paths of the mounted volumes that can be read.
    using Volumes = std::function<QStringList()>;
    static QStringList mountedVolumes();

    explicit DriveList(QWidget* parent = nullptr, Volumes volumes = mountedVolumes);

    void showPopup() override;


    // Re-reads the mounted volumes; the current one stays current while it
    // is still mounted, else the home folder's volume becomes current.
    void refreshDrives();
    QStringList drives() const;
    // The root path of the current volume.
    QString drive() const;
    // Makes the volume holding the path current (adding it to the list when
    // it was mounted since the last read); for a path that does not exist,
    // the volume of its nearest existing folder. False, and nothing changes,
    // when the path is not absolute or on no readable volume.
    bool setDrive(const QString& path);

signals:
    // The current volume changed, by the user or by setDrive.
    void driveChanged(const QString& root);

protected:
    // F4 is the window's key (the time display), not the list's.
    void keyPressEvent(QKeyEvent* event) override;

private:
    Volumes volumes_;
};
