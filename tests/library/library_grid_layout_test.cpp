#include "library/library_grid_layout.h"

#include <gtest/gtest.h>

#include "library_screen_fixture.h"

namespace reelhaven {
namespace {

ui::CollectionLayoutSection sectionFor(ui::UserInterfaceIdiom idiom, double width, double height) {
    ui::CollectionLayoutEnvironment environment;
    environment.effectiveContentSize = {width, height};
    environment.traits.userInterfaceIdiom = idiom;
    return libraryGridSection(environment);
}

TEST(LibraryGridLayout, SpacingWidensOnlyOnAPadFrom768) {
    struct Case {
        ui::UserInterfaceIdiom idiom;
        double width;
        double spacing;
    };
    for (const auto& [idiom, width, spacing] : std::vector<Case>{{ui::UserInterfaceIdiom::pad, 768, 20},
                                                                 {ui::UserInterfaceIdiom::pad, 767, 10},
                                                                 {ui::UserInterfaceIdiom::phone, 900, 10}}) {
        const auto section = sectionFor(idiom, width, 800);
        EXPECT_EQ(section.interItemSpacing, spacing) << width;
        EXPECT_EQ(section.interGroupSpacing, spacing) << width;
        EXPECT_EQ(section.contentInsets, (ui::EdgeInsets{spacing, spacing, 10, spacing})) << width;
    }
}

TEST(LibraryGridLayout, ColumnsAndRowHeightsFollowTheSize) {
    EXPECT_EQ(sectionFor(ui::UserInterfaceIdiom::pad, 1024, 800).itemsPerGroup, 2);
    EXPECT_EQ(sectionFor(ui::UserInterfaceIdiom::pad, 1025, 800).itemsPerGroup, 3);
    EXPECT_EQ(sectionFor(ui::UserInterfaceIdiom::phone, 390, 600).groupSize.height, ui::LayoutDimension::absolute(150));
    EXPECT_EQ(sectionFor(ui::UserInterfaceIdiom::phone, 390, 374).groupSize.height, ui::LayoutDimension::absolute(130));
    EXPECT_EQ(sectionFor(ui::UserInterfaceIdiom::phone, 390, 1200).groupSize.height,
              ui::LayoutDimension::absolute(200));
}

class LibraryGridFramesTest : public library_testing::LibraryScreenTest {
protected:
    void SetUp() override {
        for (const char* name : {"A.mp4", "B.mp4", "C.mp4", "D.mp4"}) makeFile(name);
    }
    std::vector<ui::Rect> frames() {
        std::vector<ui::Rect> result;
        for (int item = 0; item < 4; ++item) result.push_back(*grid()->frameForItem({0, item}));
        return result;
    }
};

TEST_F(LibraryGridFramesTest, APhoneGridHasTwoColumnsTenPointsApart) {
    show({390, 900});
    const auto cells = frames();
    EXPECT_EQ(cells[0].origin.x, 10);
    EXPECT_EQ(cells[0].size.width, (390 - 30) / 2.0);
    EXPECT_EQ(cells[1].origin.x, 10 + cells[0].size.width + 10);
    EXPECT_EQ(cells[2].origin.y - cells[0].origin.y, cells[0].size.height + 10);
    EXPECT_EQ(cells[0].size.height, std::max(grid()->bounds().size.height / 6, 150.0));
}

TEST_F(LibraryGridFramesTest, APadFrom768PointsUsesTwentyPointSpacing) {
    show({768, 1024}, ui::UserInterfaceIdiom::pad);
    auto cells = frames();
    EXPECT_EQ(cells[0].origin.x, 20);
    EXPECT_EQ(cells[0].size.width, (768 - 60) / 2.0);

    window->setFrame(ui::Rect(0, 0, 767, 1024));
    window->layoutIfNeeded();
    cells = frames();
    EXPECT_EQ(cells[0].origin.x, 10);
    EXPECT_EQ(cells[0].size.width, (767 - 30) / 2.0);
}

TEST_F(LibraryGridFramesTest, AGridWiderThan1024HasThreeColumns) {
    show({1025, 700});
    const auto cells = frames();
    EXPECT_EQ(cells[2].origin.y, cells[0].origin.y);
    EXPECT_GT(cells[3].origin.y, cells[0].origin.y);
    show({1024, 700});
    EXPECT_GT(frames()[2].origin.y, frames()[0].origin.y);
}

}  // namespace
}  // namespace reelhaven
