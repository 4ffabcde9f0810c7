#pragma once
#include <QColor>
#include <QFrame>

// A container of the main window with a back colour of its own. The colour is
// painted, not put into the palette: a palette passes to every child, and the
// controls inside a panel keep the system's colours.
class Panel : public QFrame {
public:
    explicit Panel(QWidget* parent = nullptr);

    QColor backColour() const { return colour_; }
    // An invalid colour leaves the system's background.
    void setBackColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};
