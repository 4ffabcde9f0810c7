// The game pad: the reader through SDL (a virtual pad), the polling and its switch, the learned codes.
#include "core/AppState.h"
#include "joystick/JOYClass.h"
#include "joystick/JoystickAssignment.h"
#include "joystick/JoystickPollingSwitch.h"
#include "platform/MemorySettingsStore.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "support/EntryNames.h"
#include "support/VirtualPad.h"
#include "support/WaitUntil.h"
#include <gtest/gtest.h>

namespace {

using A = JoystickAction;
using namespace JoystickAssignment;

TEST(JoystickReader, ReadsAVirtualPadThroughSdlAndFindsItAgainAfterUnplugging) {
    SdlJoystickDevice device;
    QStringList told;
    JOYClass reader(device, [&](const QString& text) { told << text; });
    EXPECT_EQ(reader.XPosition() + reader.YPosition() + reader.ButtonData(), 0); // no pad yet: zeros
    auto pad = std::make_unique<VirtualPad>();
    ASSERT_TRUE(pad->ok()) << SDL_GetError();
    EXPECT_TRUE(reader.IsThereAStick() && reader.NumberOfButtons() == 20 && told.isEmpty());
    EXPECT_TRUE(reader.HaveThisAxis("z") && reader.HaveThisAxis("h") && reader.HaveThisAxis("x"));
    EXPECT_FALSE(reader.HaveThisAxis("w") || reader.HaveThisAxis("X") || reader.HaveThisAxis("zr"));
    pad->hold({1, 3, 16, 20}); // the code holds buttons 1 to 15 only; the others are seen one by one
    EXPECT_EQ(reader.ButtonData(), 5);
    for (const auto& [button, down] :
         {std::pair{1, true}, {2, false}, {20, true}, {21, false}, {0, false}, {40, false}})
        EXPECT_EQ(reader.SingleButtonValue(button), down) << button;
    pad->hat(SDL_HAT_RIGHT);
    EXPECT_EQ(reader.HSPosition(), 9000); // hundredths of a degree clockwise from forward
    pad.reset();                          // unplugged: the user is told, and the program goes on
    EXPECT_TRUE(!reader.IsThereAStick() && reader.NumberOfButtons() == 0);
    EXPECT_EQ(told, QStringList{"Couldn't detect the joystick"});
    pad = std::make_unique<VirtualPad>();
    EXPECT_TRUE(reader.IsThereAStick());
    SDL_PumpEvents(); // a pad used for hours must not fill SDL's queue with its movements
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 0);
}

// A pad the test sets (every read sees its state now) and a main window that notes what it was made to do.
struct Polling : ::testing::Test, JoystickDevice, JoystickTarget {
    Position pad{.axes = {32767, 32767, 32767, 32767, 32767, 32767}};
    bool attached = true, full = true;
    int tab = -1;
    std::vector<A> actions;
    Codes codes = codesFrom({"?", "?", "?", "?", "?", "?", "?", "?", "?"}); // none learned: the last is 0
    QTimer tick;
    JoystickPollingSwitch joystick{*this, *this, codes, tick};
    std::optional<Capabilities> capabilities() override {
        return attached ? std::optional(Capabilities{}) : std::nullopt;
    }
    std::optional<Position> position() override { return attached ? std::optional(pad) : std::nullopt; }
    void selectTab(int index) override { tab = index; }
    bool fullSize() const override { return full; }
    void toggleSize() override { full = !full; }
    void run(A action) override { actions.push_back(action); }
    void press(quint32 buttons) {
        pad.buttons = buttons;
        joystick.tick();
    }
};

TEST_F(Polling, AChangeOfTheButtonsRunsTheFirstActionOfItsCodeAndTheStickChoosesTabAndSize) {
    codes[int(A::Skip)] = 1;
    codes[int(A::Random)] = 3;
    for (quint32 buttons : {1, 1, 3, 1, 0, 0, 1, 2}) // held, held, added, back, none, none, again, unassigned
        press(buttons);
    EXPECT_EQ(actions, (std::vector<A>{A::Skip, A::Random, A::Skip, A::Skip}));
    actions.clear();
    codes.fill(1);
    for (int i = 0; i < kJoystickActionCount; ++i) {
        press(1);
        press(0); // never matches, not even the code 0
        ASSERT_EQ(actions.size(), i + 1u);
        codes[int(actions.back())] = 0;
    }
    EXPECT_EQ(actions, (std::vector<A>{A::BringToTop, A::Pause, A::PlayStop, A::Skip, A::Exit, A::Special1,
                                       A::Special2, A::Random, A::CopyToOther}));
    using S = std::tuple<double, double, bool, int, bool>; // x, y, full before; tab, full after each tick
    for (auto [x, y, before, chosen, after] :
         {S{499, 499, true, 0, false}, S{500, 0, false, -1, false}, S{50000, 500, true, -1, true},
          S{50001, 50000, false, 1, false}, S{0, 50001, false, 0, true}, S{65535, 65535, true, 1, true}}) {
        pad.axes = {x, y};
        full = before;
        tab = -1;
        joystick.tick();
        EXPECT_EQ(std::pair(tab, full), std::pair(chosen, after)) << x << ", " << y;
    }
}

TEST_F(Polling, OnlyTheSlowCheckRunsWithoutAPadAndAnUnpluggedPadChangesNothing) {
    codes[int(A::Skip)] = 1;
    attached = false;
    joystick.set(true);
    EXPECT_TRUE(!tick.isActive() && joystick.watching());
    attached = true;
    pad.buttons = 1;
    joystick.check();
    EXPECT_TRUE(tick.isActive() && !joystick.watching());
    ASSERT_TRUE(waitUntil([&] { return !actions.empty(); })); // the running timer polls
    // Unplugged with the stick held left and forward: the next tick changes nothing and hands over.
    pad.axes = {0, 0};
    attached = false;
    joystick.tick();
    EXPECT_TRUE(!tick.isActive() && joystick.watching() && tab == -1 && full);
    attached = true; // plugged in again with the button still held: the same chord, no second run
    joystick.check();
    joystick.tick();
    EXPECT_EQ(actions, std::vector<A>{A::Skip});
    joystick.set(false); // no polling, no looking for a pad
    EXPECT_FALSE(tick.isActive() || joystick.watching() || joystick.on());
}

TEST(JoystickAssignment, LearnedCodesAreStoredAndCopyToOtherGoesToTheOtherOrTheDeviceList) {
    // A learned code leaves the other buttons except Random's and Copy to Other's.
    Captions c{"5", "5", "?", "3", "5", "5.0", "12", "5", "5"};
    ClearDuplicateButtons(c, 5);
    EXPECT_EQ(c, (Captions{"?", "?", "?", "3", "?", "?", "12", "5", "5"}));
    EXPECT_EQ(captionFor(0) + captionFor(-5) + captionFor(6), "??6");
    // Unassigned, out of the 16-bit range or no number: distinct codes that never match; halves to even.
    const Codes codes = codesFrom({"?", "3", "99", "0", "?", "70000", "2.5", "?", "abc"});
    EXPECT_EQ(codes, (Codes{-8, 3, -7, 0, -6, -5, 2, -4, -3}));
    MemorySettingsStore memory;
    const SettingsTable table("ann", "/home/ann");
    store(memory, table, false, codes);
    for (int i = 0; i < kJoystickActionCount; ++i)
        EXPECT_EQ(readSetting(memory, table.joystickCode(i)), QString::number(codes[i]));
    EXPECT_EQ(readSetting(memory, table.joystickUsed()), "F");
    Playlists lists;
    AppState state; // list A plays
    lists.at(Playlists::kA).append("one.mp3", "/m/one.mp3");
    lists.at(Playlists::kA).append("two.mp3", "/m/two.mp3");
    state.playingEntry = lists.at(Playlists::kA).id(1);
    EXPECT_TRUE(!copyPlayingToOther(lists, state, false) && copyPlayingToOther(lists, state, true));
    EXPECT_EQ(entryNames(lists.at(Playlists::kB)) << lists.at(Playlists::kB).path(0),
              (QStringList{"two.mp3", "/m/two.mp3"}));
    lists.setTabCount(3);
    EXPECT_TRUE(copyPlayingToOther(lists, state, true));
    lists.setShown(Playlists::kDevice); // not while the device list is in view
    EXPECT_FALSE(copyPlayingToOther(lists, state, true));
    lists.setShown(Playlists::kA);
    state.playingPlaylist = Playlists::kDevice; // the device list plays: it gets a second copy
    state.playingEntry = lists.at(Playlists::kDevice).id(0);
    EXPECT_TRUE(copyPlayingToOther(lists, state, true));
    state.playingEntry = 0; // a browser file plays
    EXPECT_FALSE(copyPlayingToOther(lists, state, true));
    EXPECT_EQ(entryNames(lists.at(Playlists::kDevice)), (QStringList{"two.mp3", "two.mp3"}));
}

} // namespace
