// The least a Qt Widgets program does to show a window: the Qt share of the player's cost to play a file,
// for bench/versus_audacious.sh. Shows a label and quits once it has been painted.
#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace {
class PaintedOnce : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    PaintedOnce label(QStringLiteral("Kivo Player!"));
    label.show();
    return app.exec();
}
