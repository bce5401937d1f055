#pragma once

#include <map>
#include <memory>
#include <optional>

#include "controls/option_rows.h"
#include "controls/options_controls.h"
#include "controls/options_item.h"
#include "platform/ui/controllers/font_picker_view_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_delegate.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "playback/model/mpv_options_delegate.h"

namespace reelhaven {

class PlaybackInfo;

// The popover of the player's options button: the option rows in a list with a pinned header per
// section, kept in step with the row table through a diffable data source; expands and collapses
// Position and Appearance (remembered for the whole process), opens the font picker, remembers
// its scroll position per video and dims the other two popover buttons while shown. Main thread.
class OptionsPopoverViewController : public ui::ViewController,
                                     public ui::CollectionViewDelegate,
                                     public ui::FontPickerDelegate,
                                     public OptionsControlsHost {
public:
    using DataSource = ui::CollectionViewDiffableDataSource<OptionsSection, OptionsItem, OptionsItemHash>;
    using Snapshot = DataSource::Snapshot;
    static constexpr const char* sectionHeaderElementKind = "section-header-element-kind";

    static std::shared_ptr<OptionsPopoverViewController> create();
    std::string className() const override { return "OptionsPopoverViewController"; }

    // The expansion of the expandable rows, for every popover of the process; a missing key is
    // collapsed.
    static std::map<OptionsRowKind, bool>& expansionState();

    // Set by the player before presenting.
    void setPlaybackInfo(std::shared_ptr<PlaybackInfo> info) { m_playbackInfo = std::move(info); }
    void setOptionsDelegate(const std::shared_ptr<MPVOptionsDelegate>& delegate) { m_optionsDelegate = delegate; }
    void setMaxHeight(std::optional<double> height) { m_maxHeight = height; }
    void setIsInterlaced(std::optional<bool> interlaced) { m_isInterlaced = interlaced; }

    // The row table, built anew on every read.
    OptionSections sectionItems();
    std::shared_ptr<OptionsControls> controls() const { return m_controls; }
    const std::shared_ptr<ui::CollectionView>& collectionView() const { return m_collectionView; }
    const std::shared_ptr<DataSource>& dataSource() const { return m_dataSource; }
    Snapshot makeSnapshot();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void didSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) override;
    void didPickFont(ui::FontPickerViewController& picker) override;

    // OptionsControlsHost.
    std::shared_ptr<PlaybackInfo> requirePlaybackInfo() const override;
    std::shared_ptr<MPVOptionsDelegate> optionsDelegate() const override { return m_optionsDelegate.lock(); }
    std::shared_ptr<PlayerScreen> presentingPlayer() const override;
    void rowsDidChange() override;
    void subtitleRowsDidReset() override;

private:
    OptionsPopoverViewController() = default;

    std::shared_ptr<ui::CollectionViewLayout> makeLayout() const;
    void configureDataSource();
    void dimPlayerButtons(bool dimmed);

    std::shared_ptr<PlaybackInfo> m_playbackInfo;
    std::weak_ptr<MPVOptionsDelegate> m_optionsDelegate;
    std::optional<double> m_maxHeight;
    std::optional<bool> m_isInterlaced;
    std::shared_ptr<ui::CollectionView> m_collectionView;
    std::shared_ptr<DataSource> m_dataSource;
    std::shared_ptr<OptionsControls> m_controls;
};

}  // namespace reelhaven
