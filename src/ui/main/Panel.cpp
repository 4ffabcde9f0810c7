#include "ui/main/Panel.h"
#include <QPainter>

Panel::Panel(QWidget* parent) : QFrame(parent) {
    setAutoFillBackground(true);
}

void Panel::setBackColour(const QColor& colour) {
    if (colour == colour_)
        return;
    colour_ = colour;
    update();
}

void Panel::paintEvent(QPaintEvent* event) {
    if (colour_.isValid())
        QPainter(this).fillRect(rect(), colour_);
    QFrame::paintEvent(event);
}
