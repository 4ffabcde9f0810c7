#pragma once
#include <array>
#include <optional>

// The main window's layout rules, computed in twips (15 to a pixel) by plain
// functions so they can be checked without a window. Sizes a rule reads back
// from a control are rounded to whole pixels first, as the control stores them.
namespace MainLayout {

constexpr int kTwipsPerPixel = 15;
// A size in twips as a control stores it: a whole number of pixels.
double stored(double twips);
int toPixels(double twips);

// Fixed design sizes (twips).
struct Design {
    double buttonsWidth = 1215, buttonsTop = 480, buttonsHeight = 3450;
    double topBarHeight = 375, bottomClosed = 375, bottomOpen = 1375;
    double tabHeight = 375;
    double roomBarWidth = 240;
    double playerClearWidth = 900;
    double timeHeight = 300, searchHeight = 330, searchButtonWidth = 735, timeModeWidth = 300;
    double deviceButtonsHeight = 330;
    double driveHeight = 330, folderHeight = 1200, presetHeight = 330;
    double sizeFixWidth = 375, showScreenWidth = 375;
    double smallButtonWidth = 375, saveButtonWidth = 375;
    double expandHeight = 135;
};

struct Span {
    double left = 0, width = 0;
};

// Main window resize: side panels, browser widths, lists, device buttons, presets.
struct FormResult {
    double fileStuffWidth = 0, mediaListWidth = 0, buttonsLeft = 0;
    double browserWidth = 0;
    double listWidth = 0;       // lstName(0), lstName(1), ssTab
    double deviceListWidth = 0; // lstName(2), filePlayer
    Span listOrFiles, transfer, deleteButton;
    // Only when the left panel is wider than 499: width and lefts of each preset row.
    std::optional<std::array<double, 5>> presetLefts;
    double presetWidth = 0;
    bool failed = false;
};
FormResult formResize(double windowWidth, const Design& d = {});

// Top panel: the size button outermost on the right, the show-screen button before it.
struct TopResult {
    double sizeFixLeft = 0, showScreenLeft = 0;
};
TopResult topResize(double panelWidth, const Design& d = {});

// Bottom panel.
struct BottomResult {
    double timeBarWidth = 0, nameBoxWidth = 0, lineEnd = 0;
    double smallPlayLeft = 0, smallStopLeft = 0, fileInfoLeft = 0;
    double expandWidth = 0;
    double quarter = 0; // q: width of each tab-move and picture button
    std::array<double, 4> tabMoveLefts{};
    std::array<double, 5> pictureLefts{};
    Span volume;
    double save1Left = 0, save2Left = 0;
    double volumeLabelWidth = 0;
};
BottomResult bottomResize(double panelWidth, const Design& d = {});

// Left panel: the file list between the folder list and the two preset rows.
struct LeftResult {
    double fileTop = 0, fileHeight = 0;
    double presetRow0Top = 0, presetRow1Top = 0;
    bool failed = false;
};
LeftResult leftResize(double panelHeight, const Design& d = {});

// Right panel.
struct RightResult {
    double listHeight = 0, deviceListHeight = 0;
    double searchTop = 0, timeTop = 0;
    double searchBoxLeft = 0, searchBoxWidth = 0, timeLeft = 0, timeWidth = 0;
    double roomBarTop = 0, roomBarHeight = 0, roomBarLeft = 0;
    double deviceButtonsWidth = 0, deviceButtonsTop = 0;
    bool failed = false;
};
RightResult rightResize(double panelHeight, double panelWidth, const Design& d = {});

// The window's size modes: the command bar and the shrink to a strip.
struct SizeModes {
    double height = 4800;
    bool fullSize = true;
    bool commandBarOpen = false;
    double rememberedHeight = 0;
    bool tabMoveVisible = false;
};
SizeModes toggleCommandBar(SizeModes modes);
SizeModes toggleSizeFix(SizeModes modes, bool ctrlHeld);

constexpr double kStripHeight = 1125;
constexpr double kCommandBarExtra = 1000;
constexpr double kExpandTopClosed = 240, kExpandTopOpen = 1220;

} // namespace MainLayout
