#include "ui/main/MainLayout.h"
#include <algorithm>
#include <cmath>

namespace MainLayout {

double stored(double twips) {
    return std::round(twips / kTwipsPerPixel) * kTwipsPerPixel;
}

int toPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

FormResult formResize(double windowWidth, const Design& d) {
    FormResult r;
    const double half = windowWidth / 2 - d.buttonsWidth / 2;
    if (half - 95 < 0) {
        // A window too small for the panels: the rest of the layout is skipped.
        r.failed = true;
        return r;
    }
    r.fileStuffWidth = stored(half);
    r.mediaListWidth = stored(half - 95);
    r.buttonsLeft = stored(r.fileStuffWidth - 10);
    r.browserWidth = r.fileStuffWidth;
    r.listWidth = r.mediaListWidth;
    r.deviceListWidth = stored(r.mediaListWidth - d.roomBarWidth);
    if (r.deviceListWidth < 0) {
        r.failed = true;
        return r;
    }
    const double halfDevice = stored(r.deviceListWidth / 2);
    r.listOrFiles = {0, halfDevice};
    r.transfer = {halfDevice, halfDevice};
    r.deleteButton = {d.playerClearWidth, std::max(0.0, stored(r.deviceListWidth - d.playerClearWidth))};
    // The panel's width as asked, before it is rounded to whole pixels.
    if (half > 499) {
        const double p = stored(std::round(half / 5));
        r.presetWidth = p;
        std::array<double, 5> lefts{};
        for (int i = 1; i < 5; ++i)
            lefts[i] = lefts[i - 1] + p - 5;
        r.presetLefts = lefts;
    }
    return r;
}

TopResult topResize(double w, const Design& d) {
    return {w - d.sizeFixWidth, w - d.sizeFixWidth - d.showScreenWidth};
}

BottomResult bottomResize(double w, const Design& d) {
    BottomResult r;
    r.timeBarWidth = w;
    r.lineEnd = w;
    r.smallPlayLeft = w - 3 * d.smallButtonWidth;
    r.smallStopLeft = w - 2 * d.smallButtonWidth;
    r.fileInfoLeft = w - d.smallButtonWidth;
    r.nameBoxWidth = w;
    r.expandWidth = w + 60;
    const double q = std::round(w / 4) + 4;
    r.quarter = q;
    r.tabMoveLefts = {0, q, 2 * q, 3 * q};
    // Back sits first; Play and Stop share the second place.
    r.pictureLefts = {q, q, 0, 2 * q, 3 * q};
    // The slider spans the row up to the two save buttons, overlapping the first by 10.
    r.volume = {0, std::max(0.0, w - 2 * d.saveButtonWidth + 10)};
    r.save1Left = w - 2 * d.saveButtonWidth;
    r.save2Left = w - d.saveButtonWidth;
    r.volumeLabelWidth = w;
    return r;
}

LeftResult leftResize(double h, const Design& d) {
    LeftResult r;
    r.fileTop = d.driveHeight + d.folderHeight;
    r.fileHeight = h - (d.driveHeight + d.folderHeight + d.presetHeight + d.presetHeight);
    if (r.fileHeight < 0) {
        r.failed = true;
        return r;
    }
    r.fileHeight = stored(r.fileHeight);
    r.presetRow0Top = r.fileTop + r.fileHeight;
    r.presetRow1Top = r.presetRow0Top + d.presetHeight - 10;
    return r;
}

RightResult rightResize(double h, double w, const Design& d) {
    RightResult r;
    const double t = d.tabHeight;
    r.listHeight = h - t - d.timeHeight - d.searchHeight;
    r.deviceListHeight = r.listHeight - d.deviceButtonsHeight;
    if (r.deviceListHeight < 0) {
        r.failed = true;
        return r;
    }
    r.listHeight = stored(r.listHeight);
    r.deviceListHeight = stored(r.deviceListHeight);
    r.searchTop = t + r.listHeight;
    r.timeTop = t + r.listHeight + d.searchHeight;
    r.searchBoxLeft = d.searchButtonWidth - 50;
    r.searchBoxWidth = w - d.searchButtonWidth + 50;
    r.timeLeft = d.timeModeWidth - 20;
    r.timeWidth = w - d.timeModeWidth + 20;
    r.roomBarTop = t;
    r.roomBarHeight = r.listHeight;
    r.roomBarLeft = w - d.roomBarWidth;
    // The device buttons end where the free-space bar begins: the bar runs down beside them, so a device
    // only a little used still shows its filled part at the bottom.
    r.deviceButtonsWidth = stored(w - d.roomBarWidth);
    r.deviceButtonsTop = r.searchTop - d.deviceButtonsHeight;
    return r;
}

SizeModes toggleCommandBar(SizeModes m) {
    if (m.commandBarOpen) {
        m.height -= kCommandBarExtra;
        m.commandBarOpen = false;
    } else {
        m.height += kCommandBarExtra;
        m.commandBarOpen = true;
        m.tabMoveVisible = m.fullSize;
    }
    return m;
}

SizeModes toggleSizeFix(SizeModes m, bool ctrlHeld) {
    if (m.commandBarOpen)
        m = toggleCommandBar(m);
    if (!m.fullSize) {
        m.height = m.rememberedHeight;
        m.fullSize = true;
    } else {
        m.rememberedHeight = std::round(m.height);
        m.height = kStripHeight;
        m.fullSize = false;
    }
    if (ctrlHeld)
        m = toggleCommandBar(m);
    return m;
}

} // namespace MainLayout
