// The game pad in the windows: a virtual pad read through the real SDL path, polled by the main window and
// learned by the options window.
#include "support/VirtualPad.h"
#include "support/WaitUntil.h"
#include "ui/frmOtpFixture.h"
#include <QCheckBox>
#include <QTabBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using A = JoystickAction;

class JoystickTest : public frmOtpTest {
protected:
    void SetUp() override {
        if (VirtualPad::otherPadPresent())
            GTEST_SKIP() << "a game pad is plugged into this machine";
    }
    void useJoystick() { write(table.joystickUsed(), QStringLiteral("T")); }
    void assign(A action, int code) { write(table.joystickCode(int(action)), QString::number(code)); }
    QPushButton* learnButton(A action) const { return options->learnButtons[int(action)]; }
    void learn(A action) { QTest::mouseClick(learnButton(action), Qt::LeftButton); }
    QString caption(A action) const { return learnButton(action)->text(); }
    bool polling() const { return form->tmrJoy->isActive(); }
    // Closed with its Exit button, then opened afresh.
    void reopenOptions() {
        QTest::mouseClick(options->cmdExitOpt, Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return !form->findChild<frmOtp*>(); }));
        openOptions();
    }
};

TEST_F(JoystickTest, AHeldButtonRunsItsActionOnceAndAChangeOfTheChordRunsAgain) {
    useJoystick();
    assign(A::Skip, 1);
    assign(A::Pause, 3); // buttons 1 and 2
    fill(Playlists::kA, {"one", "two", "three", "four"});
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    open();
    ASSERT_TRUE(polling());
    form->CmdPLAY->click();
    ASSERT_EQ(host.fake.media, "/music/one");

    // Held for a second: ten ticks see it, one skip (the played entry leaves the list).
    pad.hold({1});
    ASSERT_TRUE(waitUntil([&] { return host.fake.media == "/music/two"; }));
    QTest::qWait(1000);
    EXPECT_EQ(names(Playlists::kA), (QStringList{"two", "three", "four"}));

    pad.hold({1, 2});
    ASSERT_TRUE(waitUntil([&] { return host.fake.log.contains("pause"); }));
    pad.hold({1}); // back to button 1 alone is a change: it skips again
    ASSERT_TRUE(waitUntil([&] { return host.fake.media == "/music/three"; }));
    pad.hold({});
    QTest::qWait(300);
    EXPECT_EQ(names(Playlists::kA), (QStringList{"three", "four"}));
}

TEST_F(JoystickTest, TheStickChoosesTheTabAndSharesShrinkingWithTheSizeButton) {
    useJoystick();
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    open();
    const int fullHeight = heightTwips();
    pad.axis(0, 32767); // right
    ASSERT_TRUE(waitUntil([&] { return form->ssTab->currentIndex() == 1; }));
    pad.axis(0, -32768); // left
    ASSERT_TRUE(waitUntil([&] { return form->ssTab->currentIndex() == 0; }));
    pad.axis(0, 0);

    pad.axis(1, -32768); // forward
    ASSERT_TRUE(waitUntil([&] { return !fields.fullSize; }));
    EXPECT_LT(heightTwips(), fullHeight);
    pad.axis(1, 0);
    form->cmdSizeFix->click(); // the size button restores what the stick shrank
    EXPECT_TRUE(fields.fullSize);
    EXPECT_EQ(heightTwips(), fullHeight);
    form->cmdSizeFix->click();
    ASSERT_FALSE(fields.fullSize);
    pad.axis(1, 32767); // back: the stick restores what the button shrank
    ASSERT_TRUE(waitUntil([&] { return fields.fullSize; }));
    EXPECT_EQ(heightTwips(), fullHeight);
}

TEST_F(JoystickTest, LearningTakesTheHeldChordOffTheOtherActionsAndSetStoresIt) {
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    fill(Playlists::kA, {"one", "two"});
    open();
    openOptions();
    pad.hold({2});
    learn(A::Pause);
    learn(A::Random);
    learn(A::Skip);
    EXPECT_EQ(caption(A::Skip), QStringLiteral("2"));
    EXPECT_EQ(caption(A::Pause), QStringLiteral("?"));
    EXPECT_EQ(caption(A::Random), QStringLiteral("2")); // never cleared
    pad.hold({});
    learn(A::Exit);
    EXPECT_EQ(caption(A::Exit), QStringLiteral("0"));

    options->chkJoyState->click();
    QTest::mouseClick(options->CmdSET, Qt::LeftButton);
    EXPECT_EQ(stored(table.joystickUsed()), QStringLiteral("T"));
    EXPECT_EQ(stored(table.joystickCode(int(A::Skip))), QStringLiteral("2"));
    EXPECT_EQ(stored(table.joystickCode(int(A::Exit))), QStringLiteral("0"));
    EXPECT_EQ(stored(table.joystickCode(int(A::Pause))), QStringLiteral("-7"));

    // Reopened: the code 0 shows as unassigned.
    reopenOptions();
    EXPECT_EQ(caption(A::Exit), QStringLiteral("?"));
    EXPECT_EQ(caption(A::Pause), QStringLiteral("?"));
    EXPECT_EQ(caption(A::Skip), QStringLiteral("2"));
    EXPECT_FALSE(polling()); // not while the options window is open

    // The learned chord works once the window is closed; Skip runs, as it comes before Random.
    QTest::mouseClick(options->cmdExitOpt, Qt::LeftButton);
    ASSERT_TRUE(polling());
    form->CmdPLAY->click();
    pad.hold({2});
    ASSERT_TRUE(waitUntil([&] { return host.fake.media == "/music/two"; }));
    QTest::qWait(300);
    EXPECT_FALSE(form->chkRandom->isChecked());
}

TEST_F(JoystickTest, AllUnassignedAtSetStoreDistinctCodesFromMinusEight) {
    open();
    openOptions();
    for (int i = 0; i < kJoystickActionCount; ++i)
        ASSERT_EQ(learnButton(A(i))->text(), QStringLiteral("?"));
    options->chkJoyState->click(); // a change to the joystick settings, then back off
    options->chkJoyState->click();
    QTest::mouseClick(options->CmdSET, Qt::LeftButton);
    for (int i = 0; i < kJoystickActionCount; ++i)
        EXPECT_EQ(stored(table.joystickCode(i)), QString::number(i - 8)) << i;
    EXPECT_EQ(stored(table.joystickUsed()), QStringLiteral("F"));
    EXPECT_EQ(state.joystickCodes[int(A::CopyToOther)], 0);
}

TEST_F(JoystickTest, WithoutAPadPollingStaysOffUntilOneIsPluggedIn) {
    useJoystick();
    assign(A::Random, 1);
    open();
    EXPECT_TRUE(state.joystickUsed);
    EXPECT_FALSE(polling());
    openOptions();
    ASSERT_TRUE(options->chkJoyState->isChecked());
    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    EXPECT_FALSE(polling());

    {
        VirtualPad pad;
        ASSERT_TRUE(pad.ok()) << SDL_GetError();
        ASSERT_TRUE(waitUntil([&] { return polling(); }, 10000));
        pad.hold({1});
        ASSERT_TRUE(waitUntil([&] { return form->chkRandom->isChecked(); }));
    }
    // Unplugged: polling stops, and a pad plugged in again is found again.
    ASSERT_TRUE(waitUntil([&] { return !polling(); }));
    VirtualPad again;
    ASSERT_TRUE(waitUntil([&] { return polling(); }, 10000));
}

TEST_F(JoystickTest, WithJoystickUseOffAPadIsNeverPolled) {
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    open();
    EXPECT_FALSE(polling());
    openOptions();
    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    EXPECT_FALSE(polling());
}

} // namespace
