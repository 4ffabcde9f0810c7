#include "platform/AppIcon.h"
#include <QGuiApplication>
#include <QIcon>

static void initResources() {
    // The resource file is compiled into a static library: its registration must be pulled in by hand.
    Q_INIT_RESOURCE(resources);
}

void setApplicationIcon() {
    initResources();
    // The program's own picture, not a look-up in the icon theme (which reads the theme's folders at every
    // start); the desktop's menus and task bar take the installed icon from the desktop entry.
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kivo-player.png")));
}
