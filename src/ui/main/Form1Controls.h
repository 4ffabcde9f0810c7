#pragma once
#include <QString>

class QAbstractButton;
class QColor;
class QFrame;
class QPushButton;
class QWidget;

// Small helpers the main window's control creation shares.
namespace Form1Controls {
// Places a control at a position and size given in twips.
void place(QWidget* widget, double left, double top, double width, double height);
void setLeft(QWidget* widget, double left);
void setTop(QWidget* widget, double top);
void setWidth(QWidget* widget, double width);
void setHeight(QWidget* widget, double height);
double widthOf(const QWidget* widget);
double heightOf(const QWidget* widget);

QFrame* panel(QWidget* parent, const QString& name);
QPushButton* button(QWidget* parent, const QString& name, const QString& caption);
QFrame* line(QWidget* parent, const QString& name, bool vertical);
void setBackground(QWidget* widget, const QColor& colour);
} // namespace Form1Controls
