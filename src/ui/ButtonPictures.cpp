#include "ui/ButtonPictures.h"
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>

namespace {

// Shapes are laid out in a box of side 1, the origin at its top left.
QPainterPath path(const QPolygonF& shape) {
    QPainterPath result;
    result.addPolygon(shape);
    result.closeSubpath();
    return result;
}

QPainterPath box(qreal x, qreal y, qreal w, qreal h) {
    QPainterPath result;
    result.addRect(x, y, w, h);
    return result;
}

QPainterPath transportShape(Picture picture) {
    switch (picture) {
    case Picture::Play:
        return path({{0.28, 0.18}, {0.28, 0.82}, {0.82, 0.5}});
    case Picture::Stop:
        return box(0.24, 0.24, 0.52, 0.52);
    case Picture::Pause:
        return box(0.24, 0.2, 0.18, 0.6).united(box(0.58, 0.2, 0.18, 0.6));
    case Picture::Back:
        return path({{0.52, 0.22}, {0.52, 0.78}, {0.12, 0.5}})
            .united(path({{0.9, 0.22}, {0.9, 0.78}, {0.5, 0.5}}));
    case Picture::Forward:
        return path({{0.48, 0.22}, {0.48, 0.78}, {0.88, 0.5}})
            .united(path({{0.1, 0.22}, {0.1, 0.78}, {0.5, 0.5}}));
    case Picture::Diskette: {
        // A body with one corner cut, the metal shutter at the top and the label below it left open.
        const QPainterPath body =
            path({{0.14, 0.14}, {0.74, 0.14}, {0.86, 0.26}, {0.86, 0.86}, {0.14, 0.86}});
        return body.subtracted(box(0.32, 0.14, 0.32, 0.22))
            .united(box(0.5, 0.18, 0.09, 0.14))
            .subtracted(box(0.26, 0.54, 0.48, 0.32));
    }
    default:
        return {};
    }
}

class PictureEngine : public QIconEngine {
public:
    // A transport shape is made once: the boolean operations on paths cost more than filling them.
    explicit PictureEngine(Picture picture) : picture_(picture), shape_(transportShape(picture)) {}

    QIconEngine* clone() const override { return new PictureEngine(*this); }

    // The base class paints on a pixmap it leaves uncleared. A button asks for its picture at every paint:
    // the last one drawn is kept while the size, the colour and whether it is disabled stay the same (the
    // picture is the same in the other modes, which a selected row and its neighbours ask for in turn).
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const bool disabled = mode == QIcon::Disabled;
        const QRgb inkNow = ink(disabled).rgba();
        if (!drawn_.isNull() && drawn_.size() == size && drawnDisabled_ == disabled && drawnInk_ == inkNow)
            return drawn_;
        QPixmap result(size);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        painter.end();
        drawn_ = result;
        drawnDisabled_ = disabled;
        drawnInk_ = inkNow;
        return result;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal side = qMin(rect.width(), rect.height());
        if (side <= 0)
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        painter->scale(side, side);
        const bool disabled = mode == QIcon::Disabled;
        if (picture_ == Picture::FolderOpen || picture_ == Picture::FolderClosed)
            paintFolder(painter, disabled);
        else
            painter->fillPath(shape_, ink(disabled));
        painter->restore();
    }

private:
    // The buttons' own text colour, so that the pictures also show on a dark desktop.
    static QColor ink(bool disabled) {
        return QGuiApplication::palette().color(disabled ? QPalette::Disabled : QPalette::Active,
                                                QPalette::ButtonText);
    }

    void paintFolder(QPainter* painter, bool disabled) const {
        const QColor light = disabled ? QColor(0xD8, 0xD8, 0xD8) : QColor(0xF2, 0xC9, 0x5C);
        const QColor dark = disabled ? QColor(0xB0, 0xB0, 0xB0) : QColor(0xD4, 0xA0, 0x2C);
        QPen outline(disabled ? QColor(0x90, 0x90, 0x90) : QColor(0x8A, 0x62, 0x10), 1.0);
        outline.setCosmetic(true); // one screen pixel at any size
        painter->setPen(outline);
        const QPolygonF back(
            {{0.08, 0.2}, {0.38, 0.2}, {0.46, 0.29}, {0.92, 0.29}, {0.92, 0.82}, {0.08, 0.82}});
        if (picture_ == Picture::FolderClosed) {
            painter->setBrush(light);
            painter->drawPolygon(back);
            return;
        }
        painter->setBrush(dark);
        painter->drawPolygon(back);
        painter->setBrush(light);
        painter->drawPolygon(QPolygonF({{0.22, 0.43}, {0.98, 0.43}, {0.84, 0.82}, {0.06, 0.82}}));
    }

    Picture picture_;
    QPainterPath shape_; // empty for the folders
    QPixmap drawn_;
    bool drawnDisabled_ = false;
    QRgb drawnInk_ = 0;
};

} // namespace

QIcon buttonPicture(Picture picture) {
    return QIcon(new PictureEngine(picture));
}
