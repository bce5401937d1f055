#include <gtest/gtest.h>

#include "library/folder_collection_view_cell.h"
#include "library/library_cell_provider.h"
#include "library/time_remaining_view.h"
#include "library/video_collection_view_cell.h"
#include "library_test_fixture.h"
#include "platform/graphics/image.h"
#include "platform/ui/lists/compositional_layout.h"

namespace reelhaven {
namespace {

class LibraryCellsTest : public library_testing::LibraryTest {
protected:
    std::shared_ptr<ui::CollectionView> view = ui::CollectionView::create(
        ui::Rect(0, 0, 400, 800),
        ui::CompositionalLayout::create([](int, const auto&) { return std::optional<ui::CollectionLayoutSection>(); }));
    std::vector<std::vector<std::string>> reloads;
    LibraryCellProvider provider{manager, progressClient, [this](std::vector<LibraryItemPtr> items) {
                                     std::vector<std::string> names;
                                     for (const auto& item : items) names.push_back(item->displayName());
                                     reloads.push_back(names);
                                 }};

    void SetUp() override { LibraryCellProvider::registerCells(*view); }

    std::shared_ptr<VideoCollectionViewCell> videoCell() {
        return std::dynamic_pointer_cast<VideoCollectionViewCell>(view->dequeueCell("video", {0, 0}));
    }
    std::shared_ptr<FolderCollectionViewCell> folderCell() {
        return std::dynamic_pointer_cast<FolderCollectionViewCell>(view->dequeueCell("folder", {0, 0}));
    }
    // A video that already knows its duration (and has a picture, so nothing is asked).
    VideoPtr knownVideo(const std::string& name, double duration) {
        makeFile(name);
        auto video = Video::create(urlOf(documents / name), LibraryItemType::file, false);
        video->setDuration(VideoTime{duration});
        video->setImage(picture);
        return video;
    }
    std::shared_ptr<VideoCollectionViewCell> configured(const VideoPtr& video) {
        auto cell = videoCell();
        provider.configure(*cell, video, false);
        return cell;
    }
    static bool shown(const std::shared_ptr<ui::View>& view) { return view && !view->isHidden(); }
    static std::string text(const std::shared_ptr<ui::Label>& label) {
        if (auto attributed = label->attributedText()) return attributed->string();
        return label->text().value_or("");
    }

    std::shared_ptr<gfx::Image> picture = std::make_shared<gfx::Image>(16, 9);
};

TEST_F(LibraryCellsTest, ANewCellShowsNoTitleNoMarkAndKeepsItsTitleStill) {
    for (const std::shared_ptr<LibraryCollectionViewCell>& cell :
         {std::shared_ptr<LibraryCollectionViewCell>(videoCell()),
          std::shared_ptr<LibraryCollectionViewCell>(folderCell())}) {
        EXPECT_FALSE(cell->titleLabel()->text().has_value());
        EXPECT_TRUE(cell->selectedCheckmark()->isHidden());
        EXPECT_TRUE(cell->selectedCheckmark()->checkedBool);
        EXPECT_TRUE(cell->titleLabel()->labelize());
        EXPECT_EQ(cell->titleLabel()->type(), ScrollingLabel::ScrollType::continuous);
        EXPECT_EQ(cell->titleLabel()->trailingBuffer(), 20);
        EXPECT_EQ(cell->titleLabel()->animationDelay(), 2);
        EXPECT_EQ(cell->titleLabel()->speed(), ScrollingLabel::SpeedLimit::duration(9.0));
        EXPECT_EQ(cell->titleLabel()->fadeLength(), 5);
    }
}

TEST_F(LibraryCellsTest, SelectingShowsTheMarkAndDimsThePlate) {
    auto video = videoCell();
    video->setSelected(true);
    EXPECT_FALSE(video->selectedCheckmark()->isHidden());
    EXPECT_EQ(video->thumbnailView()->alpha(), 0.6);
    video->setSelected(false);
    EXPECT_TRUE(video->selectedCheckmark()->isHidden());
    EXPECT_EQ(video->thumbnailView()->alpha(), 1.0);

    auto folder = folderCell();
    folder->setSelected(true);
    EXPECT_FALSE(folder->selectedCheckmark()->isHidden());
    EXPECT_EQ(folder->thumbnailContainerView()->alpha(), 0.6);
}

TEST_F(LibraryCellsTest, BadgesRoundTheirCornersFromTheirSize) {
    auto cell = videoCell();
    cell->setFrame(ui::Rect(0, 0, 200, 180));
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->externalSubtitleIcon()->bounds().size.width, 28);
    EXPECT_EQ(cell->externalSubtitleIcon()->layer().cornerRadius(), 14);
    EXPECT_EQ(cell->thumbnailView()->layer().cornerRadius(), 15);

    auto badge = TimeRemainingView::create(ui::Rect(0, 0, 60, 20));
    badge->awakeFromNib();
    badge->layoutIfNeeded();
    EXPECT_EQ(badge->layer().cornerRadius(), 7);
    EXPECT_EQ(badge->label()->superview(), badge);
}

TEST_F(LibraryCellsTest, BadgeShadowsAreCastFromPathsOfTheirBadges) {
    auto cell = videoCell();
    cell->setFrame(ui::Rect(0, 0, 200, 180));
    cell->layoutIfNeeded();
    const auto icon = cell->finishedIcon();
    ASSERT_TRUE(icon->layer().shadowPath());
    EXPECT_EQ(*icon->layer().shadowPath(), ui::BezierPath::roundedRect(icon->bounds(), 15));
    const auto badge = cell->timeRemainingShadowView()->bounds();
    ASSERT_TRUE(cell->timeRemainingShadowView()->layer().shadowPath());
    EXPECT_EQ(*cell->timeRemainingShadowView()->layer().shadowPath(), ui::BezierPath::rect(badge));
    // The label's shadow is the badge's rectangle, not the shape of its text.
    ASSERT_TRUE(cell->timeRemainingLabel()->layer().shadowPath());
    EXPECT_EQ(*cell->timeRemainingLabel()->layer().shadowPath(), ui::BezierPath::rect(badge));
    // Laying out again with nothing changed leaves the kept shadow drawings valid.
    const auto version = icon->layer().contentsVersion();
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_EQ(icon->layer().shadowPath(), ui::BezierPath::roundedRect(icon->bounds(), 15));
    EXPECT_EQ(icon->layer().contentsVersion(), version);
}

TEST_F(LibraryCellsTest, AVideoWithoutARecordShowsItsDurationOnly) {
    auto cell = configured(knownVideo("Plain.mp4", 754));
    EXPECT_EQ(text(cell->titleLabel()), "Plain");
    EXPECT_EQ(text(cell->timestampLabel()), "12:34");
    EXPECT_TRUE(shown(cell->timestampLabel()));
    EXPECT_FALSE(shown(cell->progressView()));
    EXPECT_FALSE(shown(cell->timeRemainingLabel()));
    EXPECT_FALSE(shown(cell->timeRemainingShadowView()));
    EXPECT_FALSE(shown(cell->finishedIcon()));
    EXPECT_FALSE(shown(cell->sizeLabel()));  // the size is not known yet
    EXPECT_FALSE(shown(cell->externalSubtitleIcon()));
}

TEST_F(LibraryCellsTest, ProgressShowsFromFiveSecondsWithTheTimeLeft) {
    auto early = knownVideo("Early.mp4", 100);
    progressClient->update(*early, 4.9, std::nullopt, {});
    auto cell = configured(early);
    EXPECT_FALSE(shown(cell->progressView()));
    EXPECT_FALSE(shown(cell->timeRemainingLabel()));

    auto started = knownVideo("Started.mp4", 100);
    progressClient->update(*started, 5.0, std::nullopt, {});
    cell = configured(started);
    EXPECT_TRUE(shown(cell->progressView()));
    EXPECT_TRUE(shown(cell->timeRemainingShadowView()));
    EXPECT_EQ(text(cell->timeRemainingLabel()), "1:35 Left ");
    EXPECT_FLOAT_EQ(cell->progressView()->progress(), 0.05f);
    EXPECT_FALSE(shown(cell->finishedIcon()));
}

TEST_F(LibraryCellsTest, ARecordOfAnotherDurationIsNotShown) {
    auto video = knownVideo("Changed.mp4", 100);
    progressClient->update(*video, 50, std::nullopt, {});
    video->setDuration(VideoTime{120});
    auto cell = configured(video);
    EXPECT_EQ(text(cell->timestampLabel()), "2:00");
    EXPECT_FALSE(shown(cell->progressView()));
    EXPECT_FALSE(shown(cell->timeRemainingLabel()));
    EXPECT_FALSE(shown(cell->finishedIcon()));
}

TEST_F(LibraryCellsTest, AFinishedVideoShowsTheMarkAndNoBar) {
    auto video = knownVideo("Done.mp4", 100);
    progressClient->update(*video, 0, true, {});
    auto cell = configured(video);
    EXPECT_TRUE(shown(cell->finishedIcon()));
    EXPECT_FALSE(shown(cell->progressView()));
    EXPECT_FALSE(shown(cell->timeRemainingLabel()));

    // A reused cell loses the mark with the next video's state.
    auto other = knownVideo("Other.mp4", 100);
    provider.configure(*cell, other, false);
    EXPECT_FALSE(shown(cell->finishedIcon()));
}

TEST_F(LibraryCellsTest, SizeAndSubtitlesComeFromTheVideo) {
    auto video = knownVideo("Sized.mp4", 60);
    video->setSize(4096);
    makeFile("Sized.srt");
    video->setExternalSubtitles(std::vector<std::shared_ptr<Subtitle>>{
        Subtitle::create(urlOf(documents / "Sized.srt"), LibraryItemType::subtitle, false)});
    auto cell = configured(video);
    EXPECT_TRUE(shown(cell->sizeLabel()));
    EXPECT_EQ(text(cell->sizeLabel()), "4 KB");  // the file style counts 1000 bytes to the kilobyte
    EXPECT_TRUE(shown(cell->externalSubtitleIcon()));

    video->setExternalSubtitles(std::vector<std::shared_ptr<Subtitle>>{});
    provider.configure(*cell, video, false);
    EXPECT_FALSE(shown(cell->externalSubtitleIcon()));
}

TEST_F(LibraryCellsTest, TitlesScrollOnlyOnceTheScreenHasAppeared) {
    auto video = knownVideo("Title.mp4", 60);
    auto cell = videoCell();
    provider.configure(*cell, video, false);
    EXPECT_TRUE(cell->titleLabel()->labelize());
    provider.configure(*cell, video, true);
    EXPECT_FALSE(cell->titleLabel()->labelize());
}

TEST_F(LibraryCellsTest, AMissingThumbnailAndDurationAreAskedOnceAndKept) {
    copyClip("wide.mp4", "Clip.mp4");
    auto video = Video::create(urlOf(documents / "Clip.mp4"), LibraryItemType::file, false);
    auto cell = configured(video);
    EXPECT_EQ(cell->imageView()->image(), nullptr);
    EXPECT_FALSE(shown(cell->timestampLabel()));
    settle();
    // One reload per answer: the thumbnail and the duration.
    ASSERT_EQ(reloads.size(), 2u);
    EXPECT_EQ(reloads[0], std::vector<std::string>{"Clip"});
    ASSERT_TRUE(video->duration());
    ASSERT_NE(video->image(), nullptr);

    provider.configure(*cell, video, false);
    settle();
    EXPECT_EQ(reloads.size(), 2u);  // nothing asked again
    EXPECT_NE(cell->imageView()->image(), nullptr);
    EXPECT_TRUE(shown(cell->timestampLabel()));
}

TEST_F(LibraryCellsTest, ACellShowsTheThumbnailItselfSoTheVideoKeepsItWhileShown) {
    auto video = knownVideo("Shown.mp4", 60);
    auto cell = configured(video);
    ASSERT_NE(cell->imageView()->image(), nullptr);
    EXPECT_EQ(cell->imageView()->image()->cgImage().get(), picture.get()) << "a copy of the thumbnail";
    // The video holds its picture weakly: once the cache lets go, the cell on screen keeps it.
    picture.reset();
    EXPECT_NE(video->image(), nullptr);
    cell->imageView()->setImage(nullptr);
    EXPECT_EQ(video->image(), nullptr);
}

TEST_F(LibraryCellsTest, AFileThatGivesNothingLeavesTheCellAsConfigured) {
    makeFile("Broken.mp4", "not a video");
    auto video = Video::create(urlOf(documents / "Broken.mp4"), LibraryItemType::file, false);
    auto cell = configured(video);
    settle();
    EXPECT_TRUE(reloads.empty());
    EXPECT_EQ(cell->imageView()->image(), nullptr);
    EXPECT_FALSE(shown(cell->timestampLabel()));
}

class FolderCellsTest : public LibraryCellsTest {
protected:
    FolderPtr folderWith(const std::string& name, int videos, int folders = 0) {
        makeFolder(name);
        auto folder = Folder::create(urlOf(documents / name), LibraryItemType::folder, false);
        std::vector<LibraryItemPtr> contents;
        for (int index = 0; index < folders; ++index) {
            makeFolder(name + "/Sub" + std::to_string(index));
            contents.push_back(Folder::create(urlOf(documents / name / ("Sub" + std::to_string(index))),
                                              LibraryItemType::folder, false));
        }
        for (int index = 0; index < videos; ++index) {
            const std::string file = name + "/V" + std::to_string(index) + ".mp4";
            copyClip("wide.mp4", file);
            contents.push_back(Video::create(urlOf(documents / file), LibraryItemType::file, false));
        }
        folder->setContents(contents);
        return folder;
    }
    int shownThumbs(const FolderCollectionViewCell& cell) {
        int count = 0;
        for (int index = 0; index < FolderCollectionViewCell::thumbCount; ++index) count += shown(cell.thumb(index));
        return count;
    }
};

TEST_F(FolderCellsTest, TheCountHasNoSingularAndPreviewsStopAtFour) {
    auto cell = folderCell();
    provider.configure(*cell, folderWith("Empty", 0), false);
    EXPECT_FALSE(shown(cell->contentsLabel()));
    EXPECT_EQ(shownThumbs(*cell), 0);

    provider.configure(*cell, folderWith("One", 1), false);
    EXPECT_EQ(text(cell->contentsLabel()), "1 items");
    EXPECT_EQ(shownThumbs(*cell), 1);

    provider.configure(*cell, folderWith("Six", 6), false);
    EXPECT_EQ(text(cell->contentsLabel()), "6 items");
    EXPECT_EQ(shownThumbs(*cell), 4);
    settle();
    for (int index = 0; index < 4; ++index) EXPECT_NE(cell->thumb(index)->image(), nullptr) << index;
}

TEST_F(FolderCellsTest, ASubFolderPreviewIsAGreyPlate) {
    auto cell = folderCell();
    provider.configure(*cell, folderWith("Mixed", 1, 1), false);
    EXPECT_EQ(cell->thumb(0)->backgroundColor(), ui::Color::systemGray4());
    EXPECT_EQ(cell->thumb(0)->image(), nullptr);
    EXPECT_EQ(cell->thumb(1)->backgroundColor(), ui::Color::black());
}

TEST_F(FolderCellsTest, ALatePreviewForAReusedCellIsDropped) {
    auto cell = folderCell();
    provider.configure(*cell, folderWith("First", 1), false);
    // Reused for a folder of sub-folders before the first folder's picture arrives.
    provider.configure(*cell, folderWith("Second", 0, 1), false);
    settle();
    EXPECT_EQ(cell->thumb(0)->image(), nullptr);
    EXPECT_EQ(cell->thumb(0)->backgroundColor(), ui::Color::systemGray4());
}

TEST_F(FolderCellsTest, AReusedCellDropsTheLastFoldersPictureAtOnce) {
    auto cell = folderCell();
    provider.configure(*cell, folderWith("Shown", 1), false);
    settle();
    ASSERT_NE(cell->thumb(0)->image(), nullptr);
    provider.configure(*cell, folderWith("Next", 1), false);
    EXPECT_EQ(cell->thumb(0)->image(), nullptr);
    settle();
    EXPECT_NE(cell->thumb(0)->image(), nullptr);
}

}  // namespace
}  // namespace reelhaven
