#include "ui/main/MainLayout.h"
#include <gtest/gtest.h>

using namespace MainLayout;

TEST(MainLayout, SidePanelsAndTheButtonColumn) {
    for (double width : {6470.0, 9000.0, 15000.0}) {
        const FormResult r = formResize(width);
        ASSERT_FALSE(r.failed);
        EXPECT_NEAR(r.fileStuffWidth - r.mediaListWidth, 95, 15) << width;
        EXPECT_DOUBLE_EQ(r.buttonsLeft, stored(r.fileStuffWidth - 10));
        EXPECT_DOUBLE_EQ(r.deviceListWidth, stored(r.mediaListWidth - Design{}.roomBarWidth));
        EXPECT_DOUBLE_EQ(r.transfer.left, r.listOrFiles.width);
    }
    // Too narrow for the panels: the rest of the layout is skipped.
    EXPECT_TRUE(formResize(1000).failed);
}

TEST(MainLayout, PresetRowsOnlyAboveFiveHundredTwips) {
    // The left panel is half the window less half the button column.
    auto windowFor = [](double leftPanel) {
        return 2 * (leftPanel + Design{}.buttonsWidth / 2);
    };
    EXPECT_FALSE(formResize(windowFor(499)).presetLefts.has_value());

    const FormResult r = formResize(windowFor(510));
    ASSERT_TRUE(r.presetLefts.has_value());
    EXPECT_DOUBLE_EQ(r.presetWidth, 105); // 102 twips, stored as 7 whole pixels
    // Each button after the first starts 5 before its neighbour's right edge.
    EXPECT_EQ(*r.presetLefts, (std::array<double, 5>{0, 100, 200, 300, 400}));
}

TEST(MainLayout, BottomBarSplitsIntoQuarters) {
    const BottomResult r = bottomResize(6000);
    EXPECT_DOUBLE_EQ(r.quarter, 1504);
    EXPECT_EQ(r.tabMoveLefts, (std::array<double, 4>{0, 1504, 3008, 4512}));
    // Back first, Play and Stop sharing the second place, then Pause and Skip.
    EXPECT_EQ(r.pictureLefts, (std::array<double, 5>{1504, 1504, 0, 3008, 4512}));
    EXPECT_DOUBLE_EQ(r.expandWidth, 6060);
    EXPECT_DOUBLE_EQ(r.fileInfoLeft, 6000 - Design{}.smallButtonWidth);
    EXPECT_DOUBLE_EQ(r.smallPlayLeft, 6000 - 3 * Design{}.smallButtonWidth);
    EXPECT_DOUBLE_EQ(r.save2Left, 6000 - Design{}.saveButtonWidth);
}

TEST(MainLayout, SidePanelContents) {
    const Design d;
    const LeftResult left = leftResize(4050);
    EXPECT_DOUBLE_EQ(left.fileTop, d.driveHeight + d.folderHeight);
    EXPECT_DOUBLE_EQ(left.presetRow0Top, left.fileTop + left.fileHeight);
    EXPECT_DOUBLE_EQ(left.presetRow1Top, left.presetRow0Top + d.presetHeight - 10);
    EXPECT_TRUE(leftResize(100).failed);

    const RightResult right = rightResize(4050, 2500);
    EXPECT_DOUBLE_EQ(right.searchTop, d.tabHeight + right.listHeight);
    EXPECT_DOUBLE_EQ(right.timeTop, right.searchTop + d.searchHeight);
    EXPECT_DOUBLE_EQ(right.deviceButtonsTop, right.searchTop - d.deviceButtonsHeight);
    EXPECT_DOUBLE_EQ(right.roomBarLeft, 2500 - d.roomBarWidth);
    EXPECT_DOUBLE_EQ(right.searchBoxWidth, 2500 - d.searchButtonWidth + 50);
    EXPECT_TRUE(rightResize(500, 2500).failed);
}

TEST(MainLayout, ShrinkRestoreAndCommandBar) {
    SizeModes m;
    m.height = 4800;
    // Plain shrink and restore.
    m = toggleSizeFix(m, false);
    EXPECT_DOUBLE_EQ(m.height, 1125);
    EXPECT_FALSE(m.fullSize);
    m = toggleSizeFix(m, false);
    EXPECT_DOUBLE_EQ(m.height, 4800);
    EXPECT_TRUE(m.fullSize);

    // With the bar open the shrink first closes it and remembers the reduced height.
    m = toggleCommandBar(m);
    EXPECT_DOUBLE_EQ(m.height, 5800);
    EXPECT_TRUE(m.tabMoveVisible);
    m = toggleSizeFix(m, false);
    EXPECT_DOUBLE_EQ(m.height, 1125);
    EXPECT_DOUBLE_EQ(m.rememberedHeight, 4800);
    EXPECT_FALSE(m.commandBarOpen);

    // The bar opened on a shrunk window hides the tab-move buttons.
    m = toggleCommandBar(m);
    EXPECT_FALSE(m.tabMoveVisible);
    m = toggleSizeFix(m, false);
    EXPECT_DOUBLE_EQ(m.height, 4800);

    // Ctrl with a full-size window: shrink, then open the bar.
    m = toggleSizeFix(m, true);
    EXPECT_DOUBLE_EQ(m.height, 2125);
    EXPECT_TRUE(m.commandBarOpen);
    EXPECT_FALSE(m.fullSize);
}
