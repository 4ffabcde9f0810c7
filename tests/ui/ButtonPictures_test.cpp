// The pictures of the buttons and the folder list: each shows, on a clear ground, and none stands for
// another.
#include "ui/ButtonPictures.h"

TEST(ButtonPictures, EachIsDrawnOnAClearGroundDistinctAndGreyedWhenDisabled) {
    const Picture pictures[] = {Picture::Play,       Picture::Stop,        Picture::Back,
                                Picture::Pause,      Picture::Forward,     Picture::Diskette,
                                Picture::FolderOpen, Picture::FolderClosed};
    for (const int side : {16, 48}) {
        QList<QImage> drawn;
        for (const Picture picture : pictures) {
            const QIcon icon = buttonPicture(picture);
            const QImage image = icon.pixmap(side, side).toImage();
            ASSERT_EQ(image.size(), QSize(side, side));
            int inked = 0;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    inked += qAlpha(image.pixel(x, y)) > 128;
            const int id = static_cast<int>(picture);
            EXPECT_GT(inked, side * side / 10) << id << " at " << side;
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << id << " at " << side;
            EXPECT_EQ(qAlpha(image.pixel(side - 1, side - 1)), 0) << id << " at " << side;
            EXPECT_FALSE(drawn.contains(image)) << id << " at " << side;
            EXPECT_NE(icon.pixmap(side, side, QIcon::Disabled).toImage(), image) << id << " at " << side;
            drawn << image;
        }
    }
}
