#include "platform/Shell.h"
#include <QDesktopServices>
#include <QUrl>

void DesktopShell::openFolder(const QString& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
