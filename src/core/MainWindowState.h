#pragma once
#include <QString>

// Fields of the main window that its handlers share (they live as long as
// the window). Kept apart from the widgets so the logic can run in tests.
struct MainWindowState {
    bool elapsedMode = true;   // time display: elapsed ("E") or remaining ("R")
    bool randomColour = false; // the colour show draws random colours
    int volume = 0;            // last volume slider value, -5000..0
    double trackLength = 0;    // seconds
    long long wholeLength = 0; // seconds, rounded
    bool searchSingle = true;  // search box mode: Single or Move
    bool fullSize = true;      // false while shrunk to the strip
    bool commandBarOpen = false;
    int rememberedHeight = 0; // twips, the height before the last shrink
    // The entry last clicked in a playlist or in the file browser.
    int selectedIndex = -1;
    QString selectedName;
    // What the name box shows, for small play and Enter: a playlist entry, by
    // its id (found again wherever it has moved since), or a file of the
    // browser (its path; the entry id is then 0).
    quint64 nameBoxEntry = 0;
    QString nameBoxFile;
};
