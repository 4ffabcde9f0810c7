#include "ui/main/Form1Controls.h"
#include "ui/main/MainLayout.h"
#include "ui/main/Panel.h"
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QPalette>
#include <QPushButton>
#include <QShortcutEvent>
#include <utility>

namespace Form1Controls {

namespace {
// An access key (Alt and the underlined letter) clicks its button at once. Qt's own answer shows the button
// pressed and clicks 100 ms later, and a key pressed meanwhile meets the window as it was: Alt+T then Alt+P
// found Play still hidden, and the player stayed stopped. A letter two buttons share still moves the focus.
class AccessKeyClick : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut || static_cast<QShortcutEvent*>(event)->isAmbiguous())
            return false;
        static_cast<QAbstractButton*>(watched)->click();
        return true;
    }
};

// Swallows the release that ends a double-click (press, release, double-click,
// release): the first release was the click.
class DoubleClickRelease : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            afterDoubleClick_ = false;
            return false;
        case QEvent::MouseButtonDblClick:
            afterDoubleClick_ = true;
            return false;
        case QEvent::MouseButtonRelease:
            return std::exchange(afterDoubleClick_, false);
        default:
            return false;
        }
    }

private:
    bool afterDoubleClick_ = false;
};
} // namespace

using MainLayout::kTwipsPerPixel;
using MainLayout::toPixels;

void place(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(toPixels(left), toPixels(top), std::max(0, toPixels(width)),
                   std::max(0, toPixels(height)));
}
void setLeft(QWidget* w, double left) {
    w->move(toPixels(left), w->y());
}
void setTop(QWidget* w, double top) {
    w->move(w->x(), toPixels(top));
}
void setWidth(QWidget* w, double width) {
    w->resize(std::max(0, toPixels(width)), w->height());
}
void setHeight(QWidget* w, double height) {
    w->resize(w->width(), std::max(0, toPixels(height)));
}
double widthOf(const QWidget* w) {
    return double(w->width()) * kTwipsPerPixel;
}
double heightOf(const QWidget* w) {
    return double(w->height()) * kTwipsPerPixel;
}

Panel* panel(QWidget* parent, const QString& name) {
    auto* p = new Panel(parent);
    p->setObjectName(name);
    return p;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    clickOnAccessKeyAtOnce(b);
    return b;
}

void clickOnAccessKeyAtOnce(QAbstractButton* button) {
    static AccessKeyClick accessKeys;
    button->installEventFilter(&accessKeys);
}

QFrame* line(QWidget* parent, const QString& name, bool vertical) {
    auto* l = new QFrame(parent);
    l->setObjectName(name);
    l->setFrameShape(vertical ? QFrame::VLine : QFrame::HLine);
    l->setFrameShadow(QFrame::Plain);
    return l;
}

void setBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Button, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
    for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->testAttribute(Qt::WA_SetPalette))
            continue; // a colour of its own, or already kept
        const QPalette system = QApplication::palette(child);
        QPalette own = child->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
                own.setColor(group, role, system.color(group, role));
        child->setPalette(own);
    }
}

void oneClickPerDoubleClick(QObject* owner, std::initializer_list<QWidget*> widgets) {
    auto* filter = new DoubleClickRelease(owner);
    for (QWidget* widget : widgets)
        widget->installEventFilter(filter);
}

} // namespace Form1Controls
