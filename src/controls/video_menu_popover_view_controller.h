#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "controls/video_menu_header_view.h"
#include "core/library_item.h"
#include "core/video.h"
#include "platform/foundation/cancellable.h"
#include "platform/graphics/image.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/action.h"
#include "platform/ui/controls/deferred_menu_element.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_delegate.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "playback/model/chapter.h"
#include "playback/model/video_control_delegate.h"
#include "playback/model/video_menu_list_type.h"

namespace reelhaven {

class PlaybackInfo;
class VideoManager;

// The popover of the video menu button: under its header, the playlist (the videos of the
// playing video's folder) or the chapters of the playing video. A playlist row switches the
// player to that video, a chapter row jumps to it; the header's button takes screenshots.
// Main thread, except thumbnail answers, which may come on the manager's queue.
class VideoMenuPopoverViewController : public ui::ViewController, public ui::CollectionViewDelegate {
public:
    enum class Section { main };
    using ListType = VideoMenuListType;
    using PlaylistDataSource =
        ui::CollectionViewDiffableDataSource<Section, VideoPtr, LibraryItemPtrHash, LibraryItemPtrEqual>;
    using ChaptersDataSource = ui::CollectionViewDiffableDataSource<Section, Chapter, ChapterHash>;

    static std::shared_ptr<VideoMenuPopoverViewController> create();
    std::string className() const override { return "VideoMenuPopoverViewController"; }

    // Set by the player; every assignment refreshes the header, the list and the chapter
    // subscription (also before the view exists).
    std::shared_ptr<PlaybackInfo> playbackInfo() const { return m_playbackInfo; }
    void setPlaybackInfo(std::shared_ptr<PlaybackInfo> info);
    void setVideoControlDelegate(const std::shared_ptr<VideoControlDelegate>& d) { m_videoControlDelegate = d; }
    void setVideoManager(std::shared_ptr<VideoManager> manager) { m_videoManager = std::move(manager); }
    void setMaxHeight(std::optional<double> height) { m_maxHeight = height; }
    void setScreenshotHandler(std::function<void(bool)> handler) { m_screenshotHandler = std::move(handler); }

    const std::shared_ptr<VideoMenuHeaderView>& header() const { return m_header; }
    const std::shared_ptr<ui::CollectionView>& collectionView() const { return m_collectionView; }
    ListType listMode() const { return m_listMode; }
    const std::shared_ptr<PlaylistDataSource>& playlistDataSource() const { return m_playlistDataSource; }
    const std::shared_ptr<ChaptersDataSource>& chaptersDataSource() const { return m_chaptersDataSource; }
    std::shared_ptr<ui::Action> screenshotAction();
    std::shared_ptr<ui::Action> screenshotSubtitlesAction();
    std::shared_ptr<ui::Action> screenshotNoSubtitlesAction();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    bool shouldSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) override;
    void didSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) override;

    void chaptersOrPlaylistSelectionChanged(ui::SegmentedControl& control);
    void showPlaylist();
    void showChapters();
    // A thumbnail arrived (on any thread): kept in the video, its row redrawn on the main queue.
    void thumbnailLoaded(const VideoPtr& video, std::shared_ptr<gfx::Image> image);
    // Redraws the rows of `videos` still in the playlist on show; on the main queue.
    void reloadPlaylistItems(std::vector<VideoPtr> videos);
    void updateScreenshotMenu();

private:
    VideoMenuPopoverViewController();

    std::shared_ptr<PlaybackInfo> requirePlaybackInfo() const;
    std::shared_ptr<ui::CollectionViewLayout> makeLayout() const;
    PlaylistDataSource::Snapshot makePlaylistSnapshot() const;
    std::shared_ptr<ui::CollectionViewCell> playlistCell(ui::CollectionView& view, const ui::IndexPath& indexPath,
                                                         const VideoPtr& video);
    std::shared_ptr<ui::CollectionViewCell> chapterCell(ui::CollectionView& view, const ui::IndexPath& indexPath,
                                                        const Chapter& chapter);
    void currentChapterChanged(int chapter);
    // Selects the chapter when it is a row of the list (a negative or too large index is none).
    void selectChapter(int chapter, bool animated);
    void selectPlayingVideo();
    void updatePreferredContentSize();
    void takeScreenshot(std::optional<bool> withSubtitles);
    void makeDefaultMethodMenu(const ui::DeferredMenuElement::Completion& completion);
    void dimPlayerButtons(bool dimmed);
    bool hidesList() const;

    std::shared_ptr<PlaybackInfo> m_playbackInfo;
    std::weak_ptr<VideoControlDelegate> m_videoControlDelegate;
    std::shared_ptr<VideoManager> m_videoManager;
    std::optional<double> m_maxHeight;
    std::function<void(bool)> m_screenshotHandler = [](bool) {};
    std::shared_ptr<ui::Action> m_screenshotAction;
    std::shared_ptr<ui::Action> m_screenshotSubtitlesAction;
    std::shared_ptr<ui::Action> m_screenshotNoSubtitlesAction;
    std::shared_ptr<VideoMenuHeaderView> m_header;
    std::shared_ptr<ui::CollectionView> m_collectionView;
    std::shared_ptr<PlaylistDataSource> m_playlistDataSource;
    std::shared_ptr<ChaptersDataSource> m_chaptersDataSource;
    std::vector<foundation::Cancellable> m_cancellables;
    ListType m_listMode = ListType::playlist;
};

}  // namespace reelhaven
