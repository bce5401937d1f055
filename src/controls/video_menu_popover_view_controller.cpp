#include "controls/video_menu_popover_view_controller.h"

#include <algorithm>

#include "controls/popover_dimming.h"
#include "controls/time_text.h"
#include "controls/video_control_view.h"
#include "controls/video_menu_cells.h"
#include "core/preferences.h"
#include "core/video_manager.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/controls/deferred_menu_element.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/lists/compositional_layout.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/visual_effect_view.h"
#include "playback/model/playback_info.h"
#include "toolkit/stack_view_builder.h"

namespace reelhaven {
namespace {

constexpr double kWidth = 350;
constexpr double kCompactCap = 310;
constexpr double kRegularCap = 600;

}  // namespace

std::shared_ptr<VideoMenuPopoverViewController> VideoMenuPopoverViewController::create() {
    return std::shared_ptr<VideoMenuPopoverViewController>(new VideoMenuPopoverViewController());
}

VideoMenuPopoverViewController::VideoMenuPopoverViewController() : m_header(VideoMenuHeaderView::create()) {}

std::shared_ptr<PlaybackInfo> VideoMenuPopoverViewController::requirePlaybackInfo() const {
    if (!m_playbackInfo) base::fatal("VideoMenuPopoverViewController: no PlaybackInfo");
    return m_playbackInfo;
}

bool VideoMenuPopoverViewController::hidesList() const {
    return m_playbackInfo->isSecurityScoped() && m_playbackInfo->chapters().size() < 2;
}

// Actions.

std::shared_ptr<ui::Action> VideoMenuPopoverViewController::screenshotAction() {
    if (!m_screenshotAction) {
        std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
        m_screenshotAction = ui::Action::create("", [weak](ui::Action&) {
            if (auto self = weak.lock()) self->takeScreenshot(std::nullopt);
        });
    }
    return m_screenshotAction;
}

std::shared_ptr<ui::Action> VideoMenuPopoverViewController::screenshotSubtitlesAction() {
    if (!m_screenshotSubtitlesAction) {
        std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
        m_screenshotSubtitlesAction =
            ui::Action::create("With Subtitles", ui::Image::systemImage("text.below.photo"), {}, ui::Action::none,
                               ui::Action::State::off, [weak](ui::Action&) {
                                   if (auto self = weak.lock()) self->takeScreenshot(true);
                               });
    }
    return m_screenshotSubtitlesAction;
}

std::shared_ptr<ui::Action> VideoMenuPopoverViewController::screenshotNoSubtitlesAction() {
    if (!m_screenshotNoSubtitlesAction) {
        std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
        m_screenshotNoSubtitlesAction =
            ui::Action::create("Without Subtitles", ui::Image::systemImage("photo"), {}, ui::Action::none,
                               ui::Action::State::off, [weak](ui::Action&) {
                                   if (auto self = weak.lock()) self->takeScreenshot(false);
                               });
    }
    return m_screenshotNoSubtitlesAction;
}

void VideoMenuPopoverViewController::takeScreenshot(std::optional<bool> withSubtitles) {
    m_header->screenshotButton()->setEnabled(false);
    m_screenshotHandler(withSubtitles.value_or(Preferences::shared().screenshotWithSubtitles.wrappedValue()));
}

void VideoMenuPopoverViewController::updateScreenshotMenu() {
    auto button = m_header->screenshotButton();
    if (!m_playbackInfo || m_playbackInfo->subtitleTracks().size() <= 1) {
        button->setMenu(nullptr);
        return;
    }
    std::vector<std::shared_ptr<ui::MenuElement>> children{screenshotSubtitlesAction(), screenshotNoSubtitlesAction()};
    if (ui::PlatformVersion::isAtLeast(15)) {
        std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
        auto deferred = ui::DeferredMenuElement::createUncached([weak](ui::DeferredMenuElement::Completion completion) {
            if (auto self = weak.lock()) self->makeDefaultMethodMenu(completion);
        });
        children.push_back(ui::Menu::create({}, nullptr, {}, ui::Menu::displayInline, {deferred}));
    }
    button->setMenu(ui::Menu::create(std::move(children)));
}

void VideoMenuPopoverViewController::makeDefaultMethodMenu(const ui::DeferredMenuElement::Completion& completion) {
    const bool withSubtitles = Preferences::shared().screenshotWithSubtitles.wrappedValue();
    auto choose = [](bool value) {
        return [value](ui::Action&) { Preferences::shared().screenshotWithSubtitles.setWrappedValue(value); };
    };
    auto with = ui::Action::create("With Subtitles", nullptr, {}, ui::Action::none,
                                   withSubtitles ? ui::Action::State::on : ui::Action::State::off, choose(true));
    auto without = ui::Action::create("Without Subtitles", nullptr, {}, ui::Action::none,
                                      withSubtitles ? ui::Action::State::off : ui::Action::State::on, choose(false));
    completion({ui::Menu::create("Default Method", ui::Image::systemImage("photo.on.rectangle.angled"), {},
                                 ui::Menu::none, {with, without})});
}

// The record of the playing video.

void VideoMenuPopoverViewController::setPlaybackInfo(std::shared_ptr<PlaybackInfo> info) {
    m_playbackInfo = std::move(info);
    m_cancellables.clear();
    const auto chapters = m_playbackInfo->chapters();
    m_header->setTitle(m_playbackInfo->name());
    m_header->setShouldHideSegmentedControl(chapters.size() < 2 ? true : m_playbackInfo->isSecurityScoped());
    if (chapters.size() < 2 && m_listMode == ListType::chapters) {
        m_listMode = ListType::playlist;
        showPlaylist();
        m_header->chapterPlaylistSegmentedControl()->setSelectedSegmentIndex(0);
    }
    if (m_listMode == ListType::playlist && m_playlistDataSource) {
        m_playlistDataSource->apply(makePlaylistSnapshot(), false);
        if (auto path = m_playlistDataSource->indexPath(m_playbackInfo->video())) {
            m_collectionView->selectItem(*path);
            m_collectionView->scrollToItem(*path);
        }
    }
    updateScreenshotMenu();
    std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
    m_cancellables.push_back(m_playbackInfo->currentChapterPublisher().sink([weak](const int& chapter) {
        if (auto self = weak.lock()) self->currentChapterChanged(chapter);
    }));
}

void VideoMenuPopoverViewController::currentChapterChanged(int chapter) {
    if (m_listMode == ListType::chapters) selectChapter(chapter, true);
}

void VideoMenuPopoverViewController::selectChapter(int chapter, bool /*animated*/) {
    // mpv reports -1 before the first chapter starts: no row is current then.
    if (!m_collectionView || chapter < 0 || chapter >= m_collectionView->numberOfItems(0)) return;
    m_collectionView->selectItem({0, chapter});
    m_collectionView->scrollToItem({0, chapter});
}

// Life cycle.

void VideoMenuPopoverViewController::viewDidLoad() {
    auto info = requirePlaybackInfo();
    auto root = view();
    auto stack =
        makeStackView(ui::LayoutAxis::vertical, ui::StackViewDistribution::fill, ui::StackViewAlignment::fill, 0, {});
    root->addSubview(stack);
    ui::LayoutConstraint::activate({stack->leadingAnchor().constraint(root->leadingAnchor()),
                                    stack->trailingAnchor().constraint(root->trailingAnchor()),
                                    stack->topAnchor().constraint(root->topAnchor()),
                                    stack->bottomAnchor().constraint(root->bottomAnchor())});

    m_header->setTranslatesAutoresizingMaskIntoConstraints(false);
    std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
    m_header->chapterPlaylistSegmentedControl()->addTarget(
        shared_from_this(),
        [weak](ui::Control& sender) {
            auto self = weak.lock();
            auto* control = dynamic_cast<ui::SegmentedControl*>(&sender);
            if (self && control) self->chaptersOrPlaylistSelectionChanged(*control);
        },
        ui::valueChanged);
    m_header->screenshotButton()->addAction(screenshotAction(), ui::touchUpInside);
    updateScreenshotMenu();

    m_collectionView = ui::CollectionView::create(root->bounds(), makeLayout());
    m_collectionView->setTranslatesAutoresizingMaskIntoConstraints(false);
    m_collectionView->setBackgroundColor(ui::Color::clear());
    m_collectionView->setDelegate(sharedAs<VideoMenuPopoverViewController>());
    m_collectionView->registerCell("videoMenuPlaylistItem", [] { return VideoMenuPlaylistItemCell::create(); });
    m_collectionView->registerCell("videoMenuChapter", [] { return VideoMenuChapterCell::create(); });
    // The dark blur behind the rows, as the list's background.
    m_collectionView->setBackgroundView(ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark));
    m_collectionView->setAlwaysBounceVertical(true);
    m_collectionView->setAllowsSelection(true);
    m_collectionView->setHidden(hidesList());

    stack->addArrangedSubview(m_header);
    stack->addArrangedSubview(m_collectionView);
    dimPlayerButtons(true);

    const auto tab = info->videoMenuTab();
    ListType first = ListType::playlist;
    if (!tab) {
        first = info->isSecurityScoped() ? ListType::chapters : ListType::playlist;
    } else if (*tab == ListType::chapters) {
        first = info->chapters().size() >= 2 ? ListType::chapters : ListType::playlist;
    }
    m_listMode = first;
    if (first == ListType::chapters) {
        showChapters();
    } else {
        showPlaylist();
    }
    m_header->chapterPlaylistSegmentedControl()->setSelectedSegmentIndex(static_cast<int>(m_listMode));
}

void VideoMenuPopoverViewController::viewWillAppear(bool animated) {
    ui::ViewController::viewWillAppear(animated);
    if (m_listMode == ListType::playlist) {
        if (m_playlistDataSource && m_playlistDataSource->indexPath(m_playbackInfo->video())) {
            view()->layoutIfNeeded();
            selectPlayingVideo();
        }
    } else {
        view()->layoutIfNeeded();
        selectChapter(m_playbackInfo->currentChapter(), false);
    }
}

void VideoMenuPopoverViewController::viewWillDisappear(bool animated) {
    ui::ViewController::viewWillDisappear(animated);
    dimPlayerButtons(false);
}

void VideoMenuPopoverViewController::dimPlayerButtons(bool dimmed) {
    reelhaven::dimPlayerButtons(
        *this, [dimmed](VideoControlView& controls) { controls.dimButtonsForVideoMenuPopover(dimmed); });
}

void VideoMenuPopoverViewController::chaptersOrPlaylistSelectionChanged(ui::SegmentedControl& control) {
    const int index = control.selectedSegmentIndex();
    if (index == 1) {
        m_listMode = ListType::chapters;
        showChapters();
        requirePlaybackInfo()->setVideoMenuTab(ListType::chapters);
    } else if (index == 0) {
        m_listMode = ListType::playlist;
        showPlaylist();
        requirePlaybackInfo()->setVideoMenuTab(ListType::playlist);
    }
}

// Lists.

std::shared_ptr<ui::CollectionViewLayout> VideoMenuPopoverViewController::makeLayout() const {
    const double height = m_listMode == ListType::chapters ? 44 : 65;
    return ui::CompositionalLayout::create([height](int, const ui::CollectionLayoutEnvironment&) {
        ui::CollectionLayoutSection section;
        const ui::LayoutSize size{ui::LayoutDimension::fractionalWidth(1), ui::LayoutDimension::estimated(height)};
        section.itemSize = size;
        section.groupSize = size;
        section.horizontalGroup = true;
        section.itemsPerGroup = 1;
        return std::optional<ui::CollectionLayoutSection>(section);
    });
}

VideoMenuPopoverViewController::PlaylistDataSource::Snapshot VideoMenuPopoverViewController::makePlaylistSnapshot()
    const {
    PlaylistDataSource::Snapshot snapshot;
    snapshot.appendSections({Section::main});
    if (!m_videoManager) return snapshot;
    std::vector<VideoPtr> videos;
    for (const auto& item : m_videoManager->library()) {
        if (auto video = std::dynamic_pointer_cast<Video>(item)) videos.push_back(video);
    }
    snapshot.appendItems(videos, Section::main);
    return snapshot;
}

void VideoMenuPopoverViewController::showPlaylist() {
    if (!m_collectionView) return;
    m_collectionView->setCollectionViewLayout(makeLayout());
    std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
    m_playlistDataSource = PlaylistDataSource::create(
        m_collectionView, [weak](ui::CollectionView& view, const ui::IndexPath& indexPath, const VideoPtr& video) {
            auto self = weak.lock();
            if (!self) base::fatal("Could not create new cell");
            return self->playlistCell(view, indexPath, video);
        });
    m_playlistDataSource->apply(makePlaylistSnapshot(), false);
    updatePreferredContentSize();
    selectPlayingVideo();
}

void VideoMenuPopoverViewController::selectPlayingVideo() {
    const auto playing = requirePlaybackInfo()->video();
    const auto items = m_playlistDataSource->snapshot().itemIdentifiers();
    for (size_t index = 0; index < items.size(); ++index) {
        if (items[index]->id() != playing->id()) continue;
        const ui::IndexPath path{0, static_cast<int>(index)};
        m_collectionView->selectItem(path);
        m_collectionView->scrollToItem(path);
        return;
    }
}

std::shared_ptr<ui::CollectionViewCell> VideoMenuPopoverViewController::playlistCell(ui::CollectionView& view,
                                                                                     const ui::IndexPath& indexPath,
                                                                                     const VideoPtr& video) {
    auto cell =
        std::dynamic_pointer_cast<VideoMenuPlaylistItemCell>(view.dequeueCell("videoMenuPlaylistItem", indexPath));
    if (!cell) base::fatal("Could not create new cell");
    cell->titleLabel()->setText(video->displayName());
    const auto duration = video->duration();
    cell->durationLabel()->setText(duration ? std::optional<std::string>(timeText(duration->seconds)) : std::nullopt);
    if (auto image = video->image()) {
        cell->thumbnail()->setImage(ui::Image::create(*image));
    } else {
        cell->thumbnail()->setImage(nullptr);
        if (m_videoManager) {
            std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
            m_videoManager->thumbnail(video, [weak](const VideoPtr& answered, std::shared_ptr<gfx::Image> image,
                                                    VideoManager::ThumbnailSource) {
                if (auto self = weak.lock()) self->thumbnailLoaded(answered, std::move(image));
            });
        }
    }
    return cell;
}

void VideoMenuPopoverViewController::thumbnailLoaded(const VideoPtr& video, std::shared_ptr<gfx::Image> image) {
    // The video keeps the image only while the manager's memory cache does; a row whose image
    // has gone by the time it is drawn asks the manager again.
    if (!image) return;
    video->setImage(std::move(image));
    reloadPlaylistItems({video});
}

void VideoMenuPopoverViewController::reloadPlaylistItems(std::vector<VideoPtr> videos) {
    std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
    // The list mode and the data source are main-thread state: both are read there, and only a
    // playlist that is still the one on show is touched (a switch to the chapters may come
    // between the thumbnail and this turn).
    dispatch::Queue::main()->async([weak, videos = std::move(videos)] {
        auto self = weak.lock();
        if (!self || self->m_listMode != ListType::playlist || !self->m_playlistDataSource) return;
        if (self->m_collectionView->dataSource() != self->m_playlistDataSource) return;
        auto snapshot = self->m_playlistDataSource->snapshot();
        std::vector<VideoPtr> present;
        std::copy_if(videos.begin(), videos.end(), std::back_inserter(present),
                     [&snapshot](const VideoPtr& video) { return snapshot.contains(video); });
        if (present.empty()) return;
        snapshot.reloadItems(present);
        self->m_playlistDataSource->apply(std::move(snapshot), true);
    });
}

void VideoMenuPopoverViewController::showChapters() {
    if (!m_collectionView) return;
    m_collectionView->setCollectionViewLayout(makeLayout());
    std::weak_ptr<VideoMenuPopoverViewController> weak = sharedAs<VideoMenuPopoverViewController>();
    m_chaptersDataSource = ChaptersDataSource::create(
        m_collectionView, [weak](ui::CollectionView& view, const ui::IndexPath& indexPath, const Chapter& chapter) {
            auto self = weak.lock();
            if (!self) base::fatal("Could not create new cell");
            return self->chapterCell(view, indexPath, chapter);
        });
    ChaptersDataSource::Snapshot snapshot;
    snapshot.appendSections({Section::main});
    snapshot.appendItems(requirePlaybackInfo()->chapters(), Section::main);
    m_chaptersDataSource->apply(std::move(snapshot), false);
    selectChapter(m_playbackInfo->currentChapter(), false);
    updatePreferredContentSize();
}

std::shared_ptr<ui::CollectionViewCell> VideoMenuPopoverViewController::chapterCell(ui::CollectionView& view,
                                                                                    const ui::IndexPath& indexPath,
                                                                                    const Chapter& chapter) {
    auto cell = std::dynamic_pointer_cast<VideoMenuChapterCell>(view.dequeueCell("videoMenuChapter", indexPath));
    if (!cell) base::fatal("Could not create new cell");
    cell->titleLabel()->setText(chapter.title);
    cell->startTimeLabel()->setText(timeText(chapter.startTime.seconds));
    return cell;
}

void VideoMenuPopoverViewController::updatePreferredContentSize() {
    m_collectionView->layoutIfNeeded();
    const double header = m_header->intrinsicContentSize().height;
    const double content = hidesList() ? header : m_collectionView->contentSize().height + header;
    auto presenting = presentingViewController();
    double cap = presenting && presenting->traitCollection().horizontalSizeClass == ui::UserInterfaceSizeClass::compact
                     ? kCompactCap
                     : kRegularCap;
    if (m_maxHeight) cap = std::min(cap, *m_maxHeight);
    setPreferredContentSize({kWidth, std::min(cap, content)});
}

// Selection.

bool VideoMenuPopoverViewController::shouldSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<VideoMenuPlaylistItemCell>(view.cellAt(indexPath));
    return !(cell && cell->isSelected());
}

void VideoMenuPopoverViewController::didSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) {
    auto source = view.dataSource();
    if (m_playlistDataSource && source == m_playlistDataSource) {
        auto video = m_playlistDataSource->itemIdentifier(indexPath);
        if (!video) return;
        if (auto player = presentingPlayer(*this)) player->switchToVideo(*video);
    } else if (m_chaptersDataSource && source == m_chaptersDataSource) {
        if (auto player = m_videoControlDelegate.lock()) player->selectChapter(indexPath.item);
    }
}

}  // namespace reelhaven
