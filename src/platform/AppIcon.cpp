#include "platform/AppIcon.h"
#include <QGuiApplication>
#include <QIcon>

static void initResources() {
    // The resource file is compiled into a static library: its registration must be pulled in by hand.
    Q_INIT_RESOURCE(resources);
}

void setApplicationIcon() {
    initResources();
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("kivo-player"), QIcon(QStringLiteral(":/icons/kivo-player.png"))));
}
