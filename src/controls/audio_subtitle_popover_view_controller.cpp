#include "controls/audio_subtitle_popover_view_controller.h"

#include <algorithm>

#include "controls/options_header_view.h"
#include "controls/popover_dimming.h"
#include "controls/video_control_view.h"
#include "platform/base/fatal.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/text_attachment.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/visual_effect_view.h"
#include "playback/model/playback_info.h"

namespace reelhaven {
namespace {

constexpr double kWidth = 350;
constexpr double kRowHeight = 44;
constexpr double kHeaderHeight = 38;
constexpr double kHeightLimit = 340;

struct TrackSection {
    std::vector<Track> tracks;
    const char* symbol;
    Track active;
};

std::optional<TrackSection> trackSection(const PlaybackInfo& info, int section) {
    if (section == 0) return TrackSection{info.audioTracks(), "speaker.1", info.activeAudioTrack()};
    if (section == 1) return TrackSection{info.subtitleTracks(), "text.bubble", info.activeSubtitleTrack()};
    return std::nullopt;
}

std::shared_ptr<ui::AttributedString> trackTitle(const char* symbol, const std::string& title) {
    auto image =
        ui::Image::systemImage(symbol, ui::SymbolConfiguration{14, ui::SymbolWeight::medium, ui::SymbolScale::large})
            ->withTintColor(ui::Color::white());
    return ui::AttributedString::withAttachment(ui::TextAttachment::create(image))
        ->appending(*ui::AttributedString::create("  " + title));
}

}  // namespace

int AudioSubtitlePopoverDataSource::numberOfSections(ui::TableView&) { return 2; }

int AudioSubtitlePopoverDataSource::numberOfRows(ui::TableView&, int section) {
    if (!playbackInfo) return 0;
    if (section == 0) return static_cast<int>(playbackInfo->audioTracks().size());
    if (section == 1) return static_cast<int>(playbackInfo->subtitleTracks().size());
    return 0;
}

std::shared_ptr<ui::TableViewCell> AudioSubtitlePopoverDataSource::cellForRow(ui::TableView& table,
                                                                              const ui::IndexPath& indexPath) {
    auto cell = table.dequeueReusableCell("trackCell", indexPath);
    if (!cell) return ui::TableViewCell::create();
    const int row = indexPath.item;
    cell->setBackgroundColor(ui::Color::clear());
    auto label = cell->textLabel();
    label->setTextColor(row == 0 ? ui::Color::lightGray() : ui::Color::white());
    if (auto font = ui::Font::named("Inter-Regular", 14)) label->setFont(*font);
    cell->setTintColor(ui::Color::white());
    auto selected = ui::View::create();
    selected->setBackgroundColor(ui::Color::gray());
    selected->setAlpha(0.2);
    cell->setSelectedBackgroundView(selected);

    const auto section = playbackInfo ? trackSection(*playbackInfo, indexPath.section) : std::nullopt;
    if (!section || row < 0 || row >= static_cast<int>(section->tracks.size())) {
        label->setText("");
        return cell;
    }
    const Track& track = section->tracks[static_cast<size_t>(row)];
    if (row == 0) {
        label->setText(track.title);
    } else {
        label->setAttributedText(trackTitle(section->symbol, track.title));
    }
    cell->setAccessoryType(track == section->active ? ui::TableViewCellAccessoryType::checkmark
                                                    : ui::TableViewCellAccessoryType::none);
    return cell;
}

std::shared_ptr<AudioSubtitlePopoverViewController> AudioSubtitlePopoverViewController::create() {
    return std::shared_ptr<AudioSubtitlePopoverViewController>(new AudioSubtitlePopoverViewController());
}

void AudioSubtitlePopoverViewController::viewDidLoad() {
    if (!m_playbackInfo) base::fatal("AudioSubtitlePopoverViewController: no PlaybackInfo");
    const auto sectionHeight = [](size_t rows) { return static_cast<double>(rows) * kRowHeight + kHeaderHeight; };
    const double content =
        sectionHeight(m_playbackInfo->audioTracks().size()) + sectionHeight(m_playbackInfo->subtitleTracks().size());
    const double limit = m_maxHeight && *m_maxHeight < kHeightLimit ? *m_maxHeight : kHeightLimit;
    setPreferredContentSize({kWidth, std::min(content, limit)});

    m_dataSource = std::make_shared<AudioSubtitlePopoverDataSource>();
    m_dataSource->playbackInfo = m_playbackInfo;
    auto table = tableView();
    table->registerCell("trackCell", [] { return ui::TableViewCell::create(); });
    table->registerHeaderFooter("header", [] { return OptionsTableHeaderView::create(); });

    table->setBackgroundColor(ui::Color::clear());
    // The dark blur behind the rows, as the table's background.
    table->setBackgroundView(ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark));
    table->setDataSource(m_dataSource);
    table->setDelegate(sharedAs<AudioSubtitlePopoverViewController>());
    setClearsSelectionOnViewWillAppear(true);
    table->setAlwaysBounceVertical(true);
    table->setSeparatorStyle(ui::TableViewCellSeparatorStyle::none);
    table->setSeparatorEffect(ui::VisualEffectView::BlurStyle::dark);
    if (ui::PlatformVersion::isAtLeast(15)) table->setSectionHeaderTopPadding(0);
    table->reloadData();

    dimPlayerButtons(true);
}

void AudioSubtitlePopoverViewController::viewWillAppear(bool animated) {
    ui::TableViewController::viewWillAppear(animated);
    if (auto offset = m_playbackInfo->audioSubtitleScrollPosition()) tableView()->setContentOffset(*offset, false);
}

void AudioSubtitlePopoverViewController::viewWillDisappear(bool animated) {
    ui::TableViewController::viewWillDisappear(animated);
    dimPlayerButtons(false);
    m_playbackInfo->setAudioSubtitleScrollPosition(tableView()->contentOffset());
}

void AudioSubtitlePopoverViewController::dimPlayerButtons(bool dimmed) {
    reelhaven::dimPlayerButtons(
        *this, [dimmed](VideoControlView& controls) { controls.dimButtonsForAudioSubtitlePopover(dimmed); });
}

std::optional<double> AudioSubtitlePopoverViewController::heightForRow(ui::TableView&, const ui::IndexPath&) {
    return kRowHeight;
}

std::optional<double> AudioSubtitlePopoverViewController::heightForHeader(ui::TableView&, int) { return kHeaderHeight; }

std::shared_ptr<ui::View> AudioSubtitlePopoverViewController::viewForHeader(ui::TableView& table, int section) {
    auto header = std::dynamic_pointer_cast<OptionsTableHeaderView>(table.dequeueReusableHeaderFooterView("header"));
    if (!header) return ui::View::create();
    const std::string title = section == 0 ? "Audio" : section == 1 ? "Subtitles" : "";
    header->setTitle(title);
    header->label()->setText(title);
    return header;
}

void AudioSubtitlePopoverViewController::didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) {
    const Track previousAudio = m_playbackInfo->activeAudioTrack();
    const Track previousSubtitle = m_playbackInfo->activeSubtitleTrack();
    if (indexPath.section != 0 && indexPath.section != 1) return;
    const auto tracks = indexPath.section == 0 ? m_playbackInfo->audioTracks() : m_playbackInfo->subtitleTracks();
    const auto row = static_cast<size_t>(indexPath.item);
    // The check mark moves only with a switch the player was asked to make.
    if (auto player = m_optionsDelegate.lock(); player && row < tracks.size()) {
        player->selectTrack(tracks[row]);
        moveCheckMark(table, indexPath, tracks, indexPath.section == 0 ? previousAudio : previousSubtitle);
    }
    table.deselectRow(indexPath);
}

void AudioSubtitlePopoverViewController::moveCheckMark(ui::TableView& table, const ui::IndexPath& chosen,
                                                       const std::vector<Track>& tracks, const Track& previous) {
    if (auto cell = table.cellForRow(chosen)) cell->setAccessoryType(ui::TableViewCellAccessoryType::checkmark);
    auto found = std::find(tracks.begin(), tracks.end(), previous);
    if (found == tracks.end()) return;
    const int previousRow = static_cast<int>(found - tracks.begin());
    if (previousRow == chosen.item) return;
    if (auto cell = table.cellForRow({chosen.section, previousRow})) {
        cell->setAccessoryType(ui::TableViewCellAccessoryType::none);
    }
}

}  // namespace reelhaven
