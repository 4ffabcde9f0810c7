#include "browser/DroppedPaths.h"
#include "support/QtPrint.h"
#include <QMimeData>
#include <gtest/gtest.h>

TEST(DroppedPaths, KeepsLocalPathsWhoseBytesSurviveAndDropsTheRest) {
    // As a file manager puts them in a drop.
    QMimeData drop;
    drop.setData("text/uri-list", "file:///m/caf%C3%A9.wav\r\n"
                                  "file:///m/caf%E9.wav\r\n"
                                  "https://example.com/x.mp3\r\n"
                                  "file:///m/a%2Ab%0Dc%0A.wav\r\n");
    EXPECT_EQ(droppedLocalPaths(drop.urls()),
              (QStringList{QString::fromUtf8(u8"/m/café.wav"), QStringLiteral("/m/a*b\rc\n.wav")}));
}
