#pragma once
#include <QString>
#include <initializer_list>

class QAbstractButton;
class QColor;
class QFrame;
class QObject;
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
// A button whose access key (Alt and its underlined letter) clicks it at once.
QPushButton* button(QWidget* parent, const QString& name, const QString& caption);
void clickOnAccessKeyAtOnce(QAbstractButton* button);
QFrame* line(QWidget* parent, const QString& name, bool vertical);
// Gives a control its own back colour through its palette. A palette passes to
// children: the control's own children keep the system's colours.
void setBackground(QWidget* widget, const QColor& colour);
// A double-click on these controls counts as one click: Qt follows its second
// press with a release of its own, which is kept from their click handling.
// Call after installing the handlers' event filters.
void oneClickPerDoubleClick(QObject* owner, std::initializer_list<QWidget*> widgets);
} // namespace Form1Controls
