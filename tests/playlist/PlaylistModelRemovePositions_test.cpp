#include "playlist/PlaylistModel.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

struct Watched {
    PlaylistModel list;
    int removals = 0, resets = 0, countChanges = 0;
    int firstRemoved = -1, lastRemoved = -1;

    explicit Watched(int count) {
        for (int i = 0; i < count; ++i)
            list.append(QString::number(i), "/p/" + QString::number(i));
        QObject::connect(&list, &QAbstractItemModel::rowsRemoved,
                         [this](const QModelIndex&, int first, int last) {
                             ++removals;
                             firstRemoved = first;
                             lastRemoved = last;
                         });
        QObject::connect(&list, &QAbstractItemModel::modelReset, [this] { ++resets; });
        QObject::connect(&list, &PlaylistModel::countChanged, [this] { ++countChanges; });
    }

    std::vector<QString> names() const {
        std::vector<QString> out;
        for (const PlaylistEntry& entry : list.entries())
            out.push_back(entry.name + (entry.checked ? "*" : ""));
        return out;
    }
};

TEST(PlaylistModelRemovePositions, OneRunIsAPlainRowRemoval) {
    Watched watched(6);
    watched.list.removePositions({2, 3, 4});
    EXPECT_THAT(watched.names(), ElementsAre("0", "1", "5"));
    EXPECT_EQ(watched.removals, 1);
    EXPECT_EQ(watched.firstRemoved, 2);
    EXPECT_EQ(watched.lastRemoved, 4);
    EXPECT_EQ(watched.resets, 0);
    EXPECT_EQ(watched.countChanges, 1);
}

TEST(PlaylistModelRemovePositions, ScatteredPositionsGoInOneResetKeepingTheRestInOrder) {
    Watched watched(8);
    watched.list.setChecked(1, true);
    watched.list.setChecked(6, true);
    watched.list.removePositions({0, 2, 3, 7});
    EXPECT_THAT(watched.names(), ElementsAre("1*", "4", "5", "6*"));
    EXPECT_EQ(watched.list.path(3), "/p/6");
    EXPECT_EQ(watched.resets, 1);
    EXPECT_EQ(watched.removals, 0);
    EXPECT_EQ(watched.countChanges, 1);
}

TEST(PlaylistModelRemovePositions, PositionsThatAreNotThereOrNotRisingAreIgnored) {
    Watched watched(5);
    watched.list.removePositions({-1, 5, 9});
    watched.list.removePositions({});
    EXPECT_EQ(watched.countChanges, 0);
    EXPECT_EQ(watched.list.count(), 5);

    watched.list.removePositions({-3, 1, 1, 3, 2, 99});
    EXPECT_THAT(watched.names(), ElementsAre("0", "2", "4"));
    EXPECT_EQ(watched.countChanges, 1);
}

} // namespace
