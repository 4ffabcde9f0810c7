#pragma once
#include <QString>

class QAbstractButton;
class QColor;
class QFrame;
class QPushButton;
class QWidget;
class Panel;

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

Panel* panel(QWidget* parent, const QString& name);
QPushButton* button(QWidget* parent, const QString& name, const QString& caption);
QFrame* line(QWidget* parent, const QString& name, bool vertical);
// Gives a control its own back colour through its palette. A palette passes to
// children: the control's own children keep the system's colours.
void setBackground(QWidget* widget, const QColor& colour);
} // namespace Form1Controls
