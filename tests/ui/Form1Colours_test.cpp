#include "core/StartColour.h"
#include "support/QtPrint.h"
#include "ui/Form1Fixture.h"
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <gtest/gtest.h>

namespace {

// What a control paints as its own background, without its children.
QColor backgroundOf(QWidget* w) {
    QPixmap pixmap(w->size());
    w->render(&pixmap, {}, {}, QWidget::DrawWindowBackground);
    return pixmap.toImage().pixelColor(w->width() / 2, w->height() / 2);
}

class Form1ColoursTest : public Form1Test {
protected:
    // The controls that take the panel colour besides the window and its panels.
    std::vector<QWidget*> colouredControls() const {
        return {form->lblName, form->chkRandom, form->LblQueueNum, form->ssTab};
    }
    std::vector<QWidget*> panels() const {
        return {form.get(),         form->PicTopBox,  form->PicBottomBar, form->PicFileStuff,
                form->PicMediaList, form->PicButtons, form->Pictimer};
    }

    void expectPanelColour(const QColor& colour) {
        for (QWidget* w : panels())
            EXPECT_EQ(backgroundOf(w).name(), colour.name()) << w->objectName().toStdString();
        for (QWidget* w : colouredControls())
            EXPECT_EQ(w->palette().color(QPalette::Window).name(), colour.name())
                << w->objectName().toStdString();
    }

    // Every other button, label, scroll bar and the drive box keep the colours
    // of the system, inside the coloured panels too.
    void expectOtherControlsUncoloured() {
        const std::vector<QWidget*> coloured = colouredControls();
        QStringList recoloured;
        for (QWidget* w : form->findChildren<QWidget*>()) {
            const bool checked = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) ||
                                 qobject_cast<QScrollBar*>(w) || qobject_cast<QComboBox*>(w);
            if (!checked || std::find(coloured.begin(), coloured.end(), w) != coloured.end())
                continue;
            const QPalette system = QApplication::palette(w);
            for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::ButtonText})
                if (w->palette().color(role) != system.color(role))
                    recoloured << QStringLiteral("%1 %2 (%3)")
                                      .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                                      .arg(role);
        }
        EXPECT_EQ(recoloured, QStringList{});
    }

    // The progress marker is one colour over its whole width.
    void expectMarkerColour(const QColor& colour) {
        const QImage marker = form->linePoint->grab().toImage();
        ASSERT_GT(marker.width(), 0);
        QStringList wrong;
        for (int x = 0; x < marker.width(); ++x)
            for (int y : {0, marker.height() / 2, marker.height() - 1})
                if (marker.pixelColor(x, y) != colour)
                    wrong << QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(marker.pixelColor(x, y).name());
        EXPECT_EQ(wrong, QStringList{}) << colour.name().toStdString();
    }
};

TEST_F(Form1ColoursTest, BlackStartColourLeavesTheButtonsReadable) {
    store.write("Presets", "ColorToStart", "0");
    open();
    expectPanelColour(Qt::black);
    expectOtherControlsUncoloured();
    expectMarkerColour(QColor(255, 255, 255));
    // The face of a button is drawn light, as the system draws it, not black.
    const QImage play = form->CmdPLAY->grab().toImage();
    EXPECT_GT(qGray(play.pixel(6, play.height() / 2)), 128);
}

TEST_F(Form1ColoursTest, DefaultColoursAndTheColourShow) {
    open();
    expectPanelColour(QColor(0xC0, 0xC0, 0xC0));
    expectMarkerColour(markerColour(0xC0, 0xC0, 0xC0));

    for (int tick = 0; tick < 30; ++tick)
        form->Timer1_Timer();
    const QColor panel(std::min(state.red, 255), std::min(state.green, 255), std::min(state.blue, 255));
    ASSERT_NE(panel, QColor(0xC0, 0xC0, 0xC0));
    expectPanelColour(panel);
    expectMarkerColour(markerColour(state.red, state.green, state.blue));
    expectOtherControlsUncoloured();

    // Random colours: the lists take the marker colour, the buttons still not.
    fields.randomColour = true;
    form->Timer1_Timer();
    expectPanelColour(QColor(state.red, state.green, state.blue));
    expectOtherControlsUncoloured();
}

} // namespace
