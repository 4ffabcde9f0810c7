// The main window as a whole: its layout in each size, accelerators, function keys, clicks and colours.
#include "core/StartColour.h"
#include "support/QtPrint.h"
#include "support/VirtualPad.h"
#include "ui/Form1Fixture.h"
#include "ui/main/MainLayout.h"
#include "ui/screen/frmScreen.h"
#include <QFile>
#include <QKeyEvent>
#include <QScreen>
#include <QTabBar>

// Controls the user cannot see whole (cut off or covered); the closed command bar shows only its top row.
static QStringList hidden(Form1& form, bool barOpen) {
    QStringList out;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        qint64 area = 0;
        for (const QRect& r : w->visibleRegion())
            area += qint64(r.width()) * r.height();
        if (w->isVisible() && w->findChildren<QWidget*>().isEmpty() &&
            (barOpen || !form.PicBottomBar->isAncestorOf(w)) &&
            area * 10 < qint64(w->width()) * w->height() * 9)
            out << w->objectName();
    }
    return out;
}

TEST_F(Form1Test, EverySizeModeShowsTheControlsWholeAndKeepsTheWindowOnTop) {
    // A left panel of 500 twips, before its rounding to pixels, has the preset buttons sized.
    EXPECT_GT(MainLayout::formResize(1000 + MainLayout::Design{}.buttonsWidth).presetWidth, 0);
    open();
    const WId native = form->winId();
    form->CmdONtop->click(); // the same native window, only its stacking changes
    // The button, Ctrl held, and the window height it gives (a shrink closes an open command bar).
    const std::tuple<QPushButton*, bool, int> steps[] = {
        {form->cmdSizeFix, false, 1125},       {form->cmdSizeFix, false, 4800},
        {form->cmdCommandExpand, false, 5800}, {form->cmdSizeFix, false, 1125},
        {form->cmdCommandExpand, false, 2125}, {form->cmdSizeFix, false, 4800},
        {form->cmdSizeFix, true, 2125},        {form->cmdSizeFix, false, 4800}};
    for (auto [button, ctrl, height] : steps) {
        keys.ctrl = ctrl;
        button->click();
        EXPECT_NEAR(form->height() * 15, height, 7);
        EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_TRUE(!fields.commandBarOpen || form->cmdTabMove[0]->isVisible() == (height == 5800)) << height;
        for (int width : {430, 600, 1000}) { // a strip shows only a part by design
            form->resize(width, form->height());
            EXPECT_EQ(height < 4800 ? QStringList{} : hidden(*form, fields.commandBarOpen), QStringList{})
                << width;
        }
        form->resize(431, form->height());
        // In a strip the bottom bar lies over the button column.
        const QRect overlap = form->PicBottomBar->geometry() & form->PicButtons->geometry();
        QWidget* hit = form->childAt(overlap.center());
        EXPECT_TRUE(overlap.isEmpty() || hit == form->PicBottomBar || form->PicBottomBar->isAncestorOf(hit));
    }
    form->resize(60, form->height()); // too narrow for the panels: nothing breaks
    form->cmdNoontop->click();
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint) || state.onTop);
    EXPECT_TRUE(form->winId() == native && form->windowHandle()->flags() == form->windowFlags());
}

// Alt+X with the auto-save is the end-to-end shut-down test's.
TEST_F(Form1Test, AcceleratorsAndAltShiftXClosesWithoutTheAutoSave) {
    write(table.playlistOnExit(), "1");
    write(table.autoSavePath(), dir.file("auto.KVPL"));
    playlists.at(0).append("a.mp3", dir.write("a.mp3", "x"));
    open();
    QTest::keyClick(form.get(), Qt::Key_R, Qt::AltModifier);
    QTest::keyClick(form.get(), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(waitUntil([&] { return host.fake.media == dir.file("a.mp3"); }));
    EXPECT_TRUE(form->chkRandom->isChecked());
    // An access key acts at once: the next one, pressed right after, finds the window it left.
    QTest::keyClick(form.get(), Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(form->CmdPLAY->isVisible());
    QTest::keyClick(form.get(), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(form->CmdPLAY->isHidden());
    form->CmdONtop->click(); // closing takes the window out of the top layer first
    QTest::keyClick(form.get(), Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier);
    ASSERT_TRUE(waitUntil([&] { return !form->isVisible(); }));
    EXPECT_FALSE(QFile::exists(dir.file("auto.KVPL")) || form->isOnTop());
}

TEST_F(Form1Test, OnlyTheNamedLeftClicksSwitchTheTimeModeAndTheColourShowThatPaintsThePanels) {
    open();
    QPoint background(0, 0); // a point of the window's own background
    while (form->childAt(background))
        background += background.x() + 2 < form->width() ? QPoint(2, 0) : QPoint(-background.x(), 2);
    // The target, the button, then whether the time shows elapsed and whether the colour show runs after it.
    const std::tuple<QWidget*, Qt::MouseButton, bool, bool> clicks[] = {
        {form->LblTime, Qt::RightButton, true, false},     {form->LblTime, Qt::LeftButton, false, false},
        {form->lblRorL, Qt::LeftButton, true, false},      {form->Pictimer, Qt::LeftButton, true, false},
        {form->PicBottomBar, Qt::LeftButton, true, false}, {form->lblName, Qt::RightButton, true, false},
        {form->LblQueueNum, Qt::RightButton, true, false}, {form->lblName, Qt::LeftButton, true, true},
        {form->LblQueueNum, Qt::LeftButton, true, false},  {form->PicTopBox, Qt::LeftButton, true, true},
        {form.get(), Qt::RightButton, true, true},         {form.get(), Qt::LeftButton, true, false}};
    for (auto [target, button, elapsed, colourShow] : clicks) { // a double-click is one click
        for (QTest::MouseAction action : {QTest::MouseClick, QTest::MouseDClick, QTest::MouseRelease})
            QTest::mouseEvent(action, target, button, {}, target == form.get() ? background : QPoint(2, 2));
        EXPECT_EQ(fields.elapsedMode, elapsed) << target->objectName().toStdString() << button;
        EXPECT_EQ(form->Timer1->isActive(), colourShow) << target->objectName().toStdString() << button;
    }
    for (int key : {Qt::Key_Space, Qt::Key_Return}) { // the keyboard's way, on the title
        QTest::keyClick(form->lblName, Qt::Key(key));
        EXPECT_EQ(form->Timer1->isActive(), key == Qt::Key_Space);
    }
    // The colour show paints the panels and four controls; the buttons keep the system's colours.
    for (int tick = 0; tick < 30; ++tick)
        form->Timer1_Timer();
    const QColor shown(std::min(state.red, 255), std::min(state.green, 255), std::min(state.blue, 255));
    ASSERT_NE(shown, QColor(0xC0, 0xC0, 0xC0));
    auto paint = [](QWidget* w) { // its own, without its children
        QPixmap pixmap(w->size());
        w->render(&pixmap, {}, {}, QWidget::DrawWindowBackground);
        return pixmap.toImage().pixelColor(w->width() / 2, w->height() / 2);
    };
    for (QWidget* w :
         std::initializer_list<QWidget*>{form.get(), form->PicTopBox, form->PicBottomBar, form->PicFileStuff,
                                         form->PicMediaList, form->PicButtons, form->Pictimer})
        EXPECT_EQ(paint(w), shown) << w->objectName().toStdString();
    EXPECT_EQ(paint(form->linePoint), markerColour(state.red, state.green, state.blue));
    const std::vector<QWidget*> own = {form->lblName, form->chkRandom, form->LblQueueNum, form->ssTab};
    EXPECT_EQ(form->DrvDriveLetter->palette().color(QPalette::Button),
              form->FileBox->palette().color(QPalette::Base));
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w == form->DrvDriveLetter || form->DrvDriveLetter->isAncestorOf(w))
            continue; // the drive list's field takes the lists' colour
        const bool coloured = std::find(own.begin(), own.end(), w) != own.end();
        if (coloured || qobject_cast<QAbstractButton*>(w) || qobject_cast<QTabBar*>(w) ||
            qobject_cast<QLabel*>(w) || qobject_cast<QScrollBar*>(w) || qobject_cast<QComboBox*>(w)) {
            for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
                EXPECT_EQ(w->palette().color(role), coloured ? shown : QApplication::palette(w).color(role))
                    << w->objectName().toStdString() << role;
        }
    }
}

TEST_F(Form1Test, FunctionKeysAreAnsweredOnReleaseWhereverTheFocusIsAndTheDeviceTabShowsItsParts) {
    write(table.deviceTab(), "1");
    write(table.devicePath(), dir.path());
    const QString music = dir.mkdir("Music");
    open();
    ASSERT_TRUE(form->dirFolders->setPath(music));
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true); // held down
    QApplication::sendEvent(form->TxtSearch, &repeat);
    EXPECT_TRUE(dialogs.messages.empty());
    for (Qt::Key key : {Qt::Key_F1, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
        QTest::keyRelease(form->lstName[0], key);
    ASSERT_TRUE(waitUntil([&] { return dialogs.messages.size() == 1u; }));
    EXPECT_EQ(dialogs.messages[0].title, "Quelba Kivo Player Help!");
    form->TxtSearch->setText("rock");
    QTest::keyRelease(form->lstName[0], Qt::Key_F3);
    EXPECT_TRUE(form->TxtSearch->hasFocus() && form->TxtSearch->selectedText() == "rock");
    QTest::keyClick(form->DrvDriveLetter, Qt::Key_F4); // the window's key, not the list's
    EXPECT_TRUE(form->lblRorL->text() == "R" && !form->DrvDriveLetter->view()->isVisible());
    dir.write("Music/b.mp3", "x");
    QTest::keyRelease(form->TxtSearch, Qt::Key_F5);
    EXPECT_EQ(form->FileBox->entries(), QStringList{"b.mp3"});
    for (bool shown : {true, false}) {
        QTest::keyRelease(shown ? static_cast<QWidget*>(form->TxtSearch) : form->FileBox, Qt::Key_F10);
        EXPECT_EQ(host.videoScreen.shown, shown);
    }
    // F9 switches between A and B, and from the device tab to B.
    for (int from : {0, 1, 2}) {
        form->ssTab->setCurrentIndex(from);
        QTest::keyRelease(from == 2 ? static_cast<QWidget*>(form->FileBox) : form->lstName[from], Qt::Key_F9);
        EXPECT_EQ(playlists.shownIndex() * 10 + form->ssTab->currentIndex(), from == 1 ? 0 : 11);
        EXPECT_TRUE(form->lstName[playlists.shownIndex()]->isVisible() && !form->lstName[2]->isVisible());
    }

    // The device tab "C", the device gone meanwhile.
    state.devicePath = dir.file("unplugged/");
    form->ssTab->setCurrentIndex(2);
    EXPECT_TRUE(form->lineRoom->isHidden()); // nothing known of the device: an empty bar, not a full one
    EXPECT_FALSE(form->picBtnHldr2->geometry().intersects(form->picRoomLeftBar->geometry()));
    EXPECT_EQ(form->cmdSizeFix->text(), "C");
    EXPECT_TRUE(form->lstName[2]->isVisible() && form->picBtnHldr2->isVisible() &&
                !form->lstName[0]->isVisible());
    for (const char* after : {"List0", "Files0", "List1"}) { // "Files" shows the device's files if it has any
        form->cmdListOrFiles->click();
        EXPECT_EQ(form->cmdListOrFiles->text() + QString::number(form->filePlayer->isVisible()), after);
        dir.write("unplugged/song.mp3", "x"); // after the first click
    }
    // Transfer does nothing on tab A; on C the button is off while it runs, and its end redraws the bar.
    playlists.at(2).append("t.mp3", dir.write("t.mp3", "x"));
    form->ssTab->setCurrentIndex(0);
    form->cmdTransfer->click();
    EXPECT_TRUE(form->cmdTransfer->isEnabled() && playlists.at(2).count() == 1);
    form->ssTab->setCurrentIndex(2);
    form->cmdTransfer->click();
    form->Timer1->stop(); // the colour show stopped: a second Transfer while one runs starts nothing
    form->cmdTransfer_Click();
    EXPECT_FALSE(form->Timer1->isActive() || form->cmdTransfer->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return form->cmdTransfer->isEnabled(); }));
    EXPECT_TRUE(QFile::exists(dir.file("unplugged/t.mp3")) && playlists.at(2).isEmpty());
    EXPECT_TRUE(form->lineRoom->isVisible() && form->lineRoom->height() < form->picRoomLeftBar->height() - 1);
    state.devicePath = dir.file("unplugged/t.mp3"); // a file, no device folder
    form->cmdPlayerClear->click();
    EXPECT_TRUE(form->lineRoom->isHidden());
}

// Each pad action runs its own handler: every one leaves a mark the others don't.
TEST_F(Form1Test, EachPadActionRunsItsOwnHandler) {
    if (VirtualPad::otherPadPresent())
        GTEST_SKIP() << "a game pad is plugged into this machine";
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    write(table.joystickUsed(), "T");
    for (int i = 0; i < kJoystickActionCount; ++i)
        write(table.joystickCode(i), QString::number(1 << i)); // action i: button i + 1
    fill(0, {"one", "two", "three"});
    open();
    auto seen = [&] { // the engine's last call; the length of B, Random, the colour show, the window shown
        return QString::asprintf("%s;%d%d%d%d", qPrintable(host.fake.log.last().section('/', -1)),
                                 int(playlists.at(1).count()), form->chkRandom->isChecked(),
                                 form->Timer1->isActive(), form->isVisible());
    };
    using A = JoystickAction;
    const std::pair<A, QString> steps[] = {
        {A::PlayStop, "one;0001"},  {A::Skip, "two;0001"},    {A::CopyToOther, ";1001"},
        {A::Special2, "play;1001"}, {A::Pause, "pause;1001"}, {A::Random, ";1101"},
        {A::Special1, ";1111"},     {A::BringToTop, ";1111"}, {A::PlayStop, "silence.wav;1111"},
        {A::Exit, ";1110"}};
    for (const auto& [action, after] : steps) {
        host.fake.log = {""};
        form->setVisible(action != A::BringToTop); // for Bring To Top to show
        pad.hold({int(action) + 1});
        EXPECT_TRUE(waitUntil([&] { return seen() == after; })) << int(action) << ": " << qPrintable(seen());
    }
}

// A screen reader can name every control a user can reach in the three windows, hidden tabs included.
TEST_F(Form1Test, EveryControlHasAnAccessibleName) {
    open();
    openOptions();
    frmScreen screen(state, [] { return new QWidget; });
    using A = QAccessible;
    const QSet<A::Role> controls = {A::PushButton, A::CheckBox, A::List,    A::EditableText, A::Slider,
                                    A::ScrollBar,  A::ComboBox, A::PageTab, A::SpinBox};
    QStringList unnamed;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        // A scroll area's own bars and a combo box's drop-down list are parts of their control.
        const QObject* parent = node->object() ? node->object()->parent() : nullptr;
        if (controls.contains(node->role()) && node->text(A::Name).trimmed().isEmpty() &&
            !parent->objectName().startsWith("qt_scrollarea") && node->parent()->role() != A::ComboBox)
            unnamed << parent->objectName() + "/" + node->object()->objectName();
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i))
                walk(child);
    };
    for (QObject* window : std::initializer_list<QObject*>{form.get(), options, &screen})
        walk(A::queryAccessibleInterface(window));
    EXPECT_EQ(unnamed, QStringList()); // the never-shown helper lists, nameless, are left out
}

// The video window takes the video's size, but no more than the screen has room for, at the video's shape.
TEST_F(Form1Test, TheVideoWindowFitsTheVideoWithinTheScreen) {
    frmScreen screen(state, [] { return new QWidget; });
    screen.fitToVideo({160, 120});
    EXPECT_EQ(screen.size(), QSize(160, 120));
    const QRect room = screen.screen()->availableGeometry();
    screen.fitToVideo(room.size() * 4);
    const QSize fitted = screen.size();
    EXPECT_TRUE(fitted.width() <= room.width() && fitted.height() <= room.height()) << fitted.width();
    EXPECT_NEAR(double(fitted.width()) / fitted.height(), double(room.width()) / room.height(), 0.01);
}
