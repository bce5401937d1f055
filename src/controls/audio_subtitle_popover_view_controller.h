#pragma once

#include <memory>
#include <optional>

#include "platform/ui/controllers/table_view_controller.h"
#include "playback/model/mpv_options_delegate.h"
#include "playback/model/track.h"

namespace reelhaven {

class PlaybackInfo;

// The audio and subtitle popover's rows: one section per track list, "None" first, a check
// mark on the track in use.
class AudioSubtitlePopoverDataSource : public ui::TableViewDataSource {
public:
    std::shared_ptr<PlaybackInfo> playbackInfo;

    int numberOfSections(ui::TableView& table) override;
    int numberOfRows(ui::TableView& table, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
};

// The popover of the audio/subtitles button: picks the audio and the subtitle track of the
// playing video through the player, remembers its scroll position per video and dims the other
// two popover buttons while shown. Main thread.
class AudioSubtitlePopoverViewController : public ui::TableViewController {
public:
    static std::shared_ptr<AudioSubtitlePopoverViewController> create();
    std::string className() const override { return "AudioSubtitlePopoverViewController"; }

    // Set by the player before presenting.
    void setPlaybackInfo(std::shared_ptr<PlaybackInfo> info) { m_playbackInfo = std::move(info); }
    void setOptionsDelegate(const std::shared_ptr<MPVOptionsDelegate>& delegate) { m_optionsDelegate = delegate; }
    void setMaxHeight(std::optional<double> height) { m_maxHeight = height; }
    const std::shared_ptr<AudioSubtitlePopoverDataSource>& dataSource() const { return m_dataSource; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    std::optional<double> heightForRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
    std::optional<double> heightForHeader(ui::TableView& table, int section) override;
    std::shared_ptr<ui::View> viewForHeader(ui::TableView& table, int section) override;
    void didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) override;

private:
    AudioSubtitlePopoverViewController() : ui::TableViewController(ui::TableViewStyle::plain) {}

    void dimPlayerButtons(bool dimmed);
    // Moves the section's check mark from the track that was in use to the chosen row.
    void moveCheckMark(ui::TableView& table, const ui::IndexPath& chosen, const std::vector<Track>& tracks,
                       const Track& previous);

    std::shared_ptr<PlaybackInfo> m_playbackInfo;
    std::weak_ptr<MPVOptionsDelegate> m_optionsDelegate;
    std::optional<double> m_maxHeight;
    std::shared_ptr<AudioSubtitlePopoverDataSource> m_dataSource;
};

}  // namespace reelhaven
