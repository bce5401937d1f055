#include "output/now_playing_view.h"

#include <gtest/gtest.h>

#include "core/video.h"
#include "platform/dispatch/run_loop.h"
#include "platform/graphics/image.h"

namespace reelhaven {
namespace {

class NowPlayingViewTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop mainLoop;
    std::shared_ptr<NowPlayingView> view = NowPlayingView::create({0, 0, 390, 844});

    static VideoPtr video(const std::string& path) {
        return Video::create(foundation::URL::fileURLWithPath(path), LibraryItemType::file, false);
    }
};

TEST_F(NowPlayingViewTest, ShowsTheThumbnailAndTheTitleWithoutItsExtension) {
    auto thumbnail = std::make_shared<gfx::Image>(16, 9);
    auto shown = video("/videos/Summer Trip.final.mkv");
    shown->setImage(thumbnail);
    view->video = shown;
    view->update();
    EXPECT_EQ(view->titleLabel()->text(), "Summer Trip.final");
    ASSERT_TRUE(view->imageView()->image());
    EXPECT_EQ(view->imageView()->image()->cgImage()->width(), 16);
    EXPECT_FALSE(view->isUserInteractionEnabled());
    EXPECT_EQ(view->imageView()->layer().cornerRadius(), 8);
}

TEST_F(NowPlayingViewTest, AVideoWithoutThumbnailShowsAnEmptyImageAndItsTitle) {
    view->video = video("/videos/clip.mp4");
    view->update();
    EXPECT_EQ(view->titleLabel()->text(), "clip");
    EXPECT_FALSE(view->imageView()->image());
}

TEST_F(NowPlayingViewTest, NoVideoEmptiesBoth) {
    auto shown = video("/videos/clip.mp4");
    auto thumbnail = std::make_shared<gfx::Image>(4, 4);
    shown->setImage(thumbnail);
    view->video = shown;
    view->update();
    view->video = nullptr;
    view->update();
    EXPECT_FALSE(view->titleLabel()->text());
    EXPECT_FALSE(view->imageView()->image());
}

}  // namespace
}  // namespace reelhaven
