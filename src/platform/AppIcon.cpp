#include "platform/AppIcon.h"
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

static void initResources() {
    // The resource file is compiled into a static library: its registration must be pulled in by hand.
    Q_INIT_RESOURCE(resources);
}

void setApplicationIcon() {
    initResources();
    // The program's own picture, not a look-up in the icon theme (which reads the theme's folders at every
    // start); the desktop's menus and task bar take the installed icon from the desktop entry. Read as the
    // PNG it is: a reader left to find out the format loads every image plug-in to ask each one.
    QImageReader reader(QStringLiteral(":/icons/kivo-player.png"), "png");
    reader.setAutoDetectImageFormat(false);
    QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(reader.read())));
}
