// The joystick reader through the real SDL path, with a virtual game pad the test holds the buttons of.
#include "joystick/JOYClass.h"
#include "support/VirtualPad.h"
#include <QStringList>
#include <gtest/gtest.h>

namespace {

class NoDevice : public JoystickDevice {
public:
    std::optional<Capabilities> capabilities() override { return std::nullopt; }
    std::optional<Position> position() override { return std::nullopt; }
};

TEST(JoystickReader, WithoutADeviceEverythingIsZeroAndTheUserIsToldOnce) {
    NoDevice none;
    QStringList told;
    JOYClass reader(none, [&](const QString& text) { told << text; });
    EXPECT_FALSE(reader.IsThereAStick());
    EXPECT_EQ(reader.XPosition(), 0);
    EXPECT_EQ(reader.YPosition(), 0);
    EXPECT_EQ(reader.ButtonData(), 0);
    EXPECT_FALSE(reader.SingleButtonValue(1));
    EXPECT_TRUE(told.isEmpty());
    EXPECT_EQ(reader.NumberOfButtons(), 0); // and the program goes on
    EXPECT_EQ(told, QStringList{QStringLiteral("Couldn't detect the joystick")});
    EXPECT_TRUE(reader.HaveThisAxis(QStringLiteral("x")));
    EXPECT_FALSE(reader.HaveThisAxis(QStringLiteral("X")));
    EXPECT_FALSE(reader.HaveThisAxis(QStringLiteral("z")));
}

TEST(JoystickReader, ReadsAVirtualPadThroughSdl) {
    SdlJoystickDevice device;
    QStringList told;
    JOYClass reader(device, [&](const QString& text) { told << text; });
    {
        VirtualPad pad;
        ASSERT_TRUE(pad.ok()) << SDL_GetError();
        ASSERT_TRUE(reader.IsThereAStick());
        EXPECT_EQ(reader.NumberOfButtons(), 20);
        EXPECT_TRUE(told.isEmpty());

        pad.hold({1, 3});
        EXPECT_EQ(reader.ButtonData(), 5);
        EXPECT_TRUE(reader.SingleButtonValue(1));
        EXPECT_FALSE(reader.SingleButtonValue(2));
        EXPECT_TRUE(reader.SingleButtonValue(3));
        // Buttons above the 15th are seen one by one, but the code holds buttons 1 to 15 only.
        pad.hold({1, 16, 20});
        EXPECT_EQ(reader.ButtonData(), 1);
        EXPECT_TRUE(reader.SingleButtonValue(20));
        EXPECT_FALSE(reader.SingleButtonValue(21));
        EXPECT_FALSE(reader.SingleButtonValue(0));
        EXPECT_FALSE(reader.SingleButtonValue(40));
        pad.hold({});
        EXPECT_EQ(reader.ButtonData(), 0);

        pad.axis(0, -32768);
        pad.axis(1, 32767);
        EXPECT_EQ(reader.XPosition(), 0);
        EXPECT_EQ(reader.YPosition(), 65535);
        pad.axis(0, 0);
        EXPECT_NEAR(reader.XPosition(), 32768, 1);
        pad.hat(SDL_HAT_RIGHT);
        EXPECT_EQ(reader.HSPosition(), 9000);
        pad.hat(SDL_HAT_CENTERED);
        EXPECT_EQ(reader.HSPosition(), 65535);
        EXPECT_TRUE(reader.HaveThisAxis(QStringLiteral("z")));
        EXPECT_TRUE(reader.HaveThisAxis(QStringLiteral("h")));
        EXPECT_FALSE(reader.HaveThisAxis(QStringLiteral("w")));
    }
    // Unplugged, then plugged in again while the reader lives.
    EXPECT_FALSE(reader.IsThereAStick());
    VirtualPad again;
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(reader.IsThereAStick());
    again.hold({2});
    EXPECT_EQ(reader.ButtonData(), 2);
}

// Every movement of a pad used for hours must not pile up anywhere.
TEST(JoystickReader, ReadingLeavesNothingQueuedInSdl) {
    SdlJoystickDevice device;
    JOYClass reader(device);
    VirtualPad pad;
    ASSERT_TRUE(pad.ok());
    for (int i = 0; i < 50; ++i) {
        pad.hold({1 + i % 3});
        pad.axis(0, i % 2 ? 30000 : -30000);
        reader.ButtonData();
        reader.XPosition();
    }
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 0);
}
} // namespace
