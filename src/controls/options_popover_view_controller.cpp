#include "controls/options_popover_view_controller.h"

#include <algorithm>

#include "controls/options_header_view.h"
#include "controls/options_item_cell.h"
#include "controls/popover_dimming.h"
#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "platform/base/fatal.h"
#include "platform/ui/lists/compositional_layout.h"
#include "platform/ui/views/visual_effect_view.h"
#include "playback/model/playback_info.h"
#include "toolkit/device_flag.h"

namespace reelhaven {
namespace {

constexpr double kWidth = 350;
constexpr double kHeightCap = 400;

// Appends `item` and, while it is expanded, its children (and theirs), depth first.
void appendRow(OptionsPopoverViewController::Snapshot& snapshot, const OptionsItem& item, OptionsSection section) {
    snapshot.appendItems({item}, section);
    if (!item.isExpanded) return;
    for (const auto& child : item.subitems) appendRow(snapshot, child, section);
}

}  // namespace

std::shared_ptr<OptionsPopoverViewController> OptionsPopoverViewController::create() {
    auto controller = std::shared_ptr<OptionsPopoverViewController>(new OptionsPopoverViewController());
    controller->m_controls = OptionsControls::create(controller);
    return controller;
}

std::map<OptionsRowKind, bool>& OptionsPopoverViewController::expansionState() {
    static std::map<OptionsRowKind, bool> state;
    return state;
}

std::shared_ptr<PlaybackInfo> OptionsPopoverViewController::requirePlaybackInfo() const {
    if (!m_playbackInfo) base::fatal("OptionsPopoverViewController: no PlaybackInfo");
    return m_playbackInfo;
}

std::shared_ptr<PlayerScreen> OptionsPopoverViewController::presentingPlayer() const {
    return reelhaven::presentingPlayer(*this);
}

OptionSections OptionsPopoverViewController::sectionItems() {
    OptionRowsState state;
    state.isInterlaced = m_isInterlaced;
    state.isPad = isPad();
    state.subtitlePositionAuto = Preferences::shared().subtitlePositionAuto.wrappedValue();
    state.expansion = &expansionState();
    return makeOptionRows(*requirePlaybackInfo(), *m_controls, state);
}

OptionsPopoverViewController::Snapshot OptionsPopoverViewController::makeSnapshot() {
    Snapshot snapshot;
    for (const auto& [section, rows] : sectionItems()) {
        snapshot.appendSections({section});
        for (const auto& row : rows) appendRow(snapshot, row, section);
    }
    return snapshot;
}

std::shared_ptr<ui::CollectionViewLayout> OptionsPopoverViewController::makeLayout() const {
    return ui::CompositionalLayout::create([](int, const ui::CollectionLayoutEnvironment&) {
        ui::CollectionLayoutSection section;
        const ui::LayoutSize row{ui::LayoutDimension::fractionalWidth(1), ui::LayoutDimension::estimated(44)};
        section.itemSize = row;
        section.groupSize = row;
        section.horizontalGroup = true;
        section.itemsPerGroup = 1;
        section.contentInsets = {-5, 0, 0, 5};
        ui::CollectionLayoutBoundarySupplementaryItem header;
        header.layoutSize = {ui::LayoutDimension::fractionalWidth(1), ui::LayoutDimension::estimated(38)};
        header.elementKind = sectionHeaderElementKind;
        header.alignment = ui::CollectionLayoutBoundarySupplementaryItem::Alignment::top;
        header.pinToVisibleBounds = true;
        header.zIndex = 2;
        header.pinnedOutset = OptionsHeaderView::plateInset;
        section.boundarySupplementaryItems.push_back(header);
        return std::optional<ui::CollectionLayoutSection>(section);
    });
}

void OptionsPopoverViewController::viewDidLoad() {
    auto root = view();
    // The dark blur lies behind the list, as its background.
    auto background = ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark);
    background->setFrame(root->bounds());
    background->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    root->addSubview(background);

    m_collectionView = ui::CollectionView::create(root->bounds(), makeLayout());
    root->addSubview(m_collectionView);
    m_collectionView->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    m_collectionView->setDelegate(sharedAs<OptionsPopoverViewController>());
    m_collectionView->registerCell("optionsItem", [] { return OptionsItemCell::create(); });
    m_collectionView->registerSupplementary(sectionHeaderElementKind, "optionsHeader",
                                            [] { return OptionsHeaderView::create(); });
    configureDataSource();
    m_collectionView->setBackgroundColor(ui::Color::clear());
    m_collectionView->setAlwaysBounceVertical(true);
    m_collectionView->setAllowsSelection(true);

    dimPlayerButtons(true);

    m_collectionView->layoutIfNeeded();
    const double cap = m_maxHeight && *m_maxHeight < kHeightCap ? *m_maxHeight : kHeightCap;
    setPreferredContentSize({kWidth, std::min(m_collectionView->contentSize().height, cap)});
}

void OptionsPopoverViewController::configureDataSource() {
    m_dataSource = DataSource::create(
        m_collectionView, [](ui::CollectionView& view, const ui::IndexPath& indexPath, const OptionsItem& item) {
            auto cell = std::dynamic_pointer_cast<OptionsItemCell>(view.dequeueCell("optionsItem", indexPath));
            if (!cell) base::fatal("Could not create new cell");
            cell->configure(item, indexPath.item == 0);
            return std::static_pointer_cast<ui::CollectionViewCell>(cell);
        });
    std::weak_ptr<OptionsPopoverViewController> weak = sharedAs<OptionsPopoverViewController>();
    m_dataSource->supplementaryViewProvider = [weak](ui::CollectionView& view, const std::string& kind,
                                                     const ui::IndexPath& indexPath) {
        auto header =
            std::dynamic_pointer_cast<OptionsHeaderView>(view.dequeueSupplementary(kind, "optionsHeader", indexPath));
        if (!header) base::fatal("Cannot create new header");
        std::vector<OptionsSection> sections(kAllOptionsSections.begin(), kAllOptionsSections.end());
        auto self = weak.lock();
        if (self && self->m_playbackInfo && self->m_playbackInfo->subtitleTracks().size() < 2) {
            sections.erase(std::find(sections.begin(), sections.end(), OptionsSection::subtitles));
        }
        const auto index = static_cast<size_t>(indexPath.section);
        const std::string title = index < sections.size() ? std::string(rawValue(sections[index])) : std::string();
        header->setTitle(title);
        header->label()->setText(title);
        return std::static_pointer_cast<ui::CollectionReusableView>(header);
    };
    m_dataSource->apply(makeSnapshot(), false);
}

void OptionsPopoverViewController::viewWillAppear(bool animated) {
    ui::ViewController::viewWillAppear(animated);
    if (auto offset = requirePlaybackInfo()->optionsScrollPosition())
        m_collectionView->setContentOffset(*offset, false);
}

void OptionsPopoverViewController::viewWillDisappear(bool animated) {
    ui::ViewController::viewWillDisappear(animated);
    dimPlayerButtons(false);
    requirePlaybackInfo()->setOptionsScrollPosition(m_collectionView->contentOffset());
}

void OptionsPopoverViewController::dimPlayerButtons(bool dimmed) {
    reelhaven::dimPlayerButtons(*this,
                                [dimmed](VideoControlView& controls) { controls.dimButtonsForOptionsPopover(dimmed); });
}

void OptionsPopoverViewController::didSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) {
    const auto item = m_dataSource ? m_dataSource->itemIdentifier(indexPath) : std::nullopt;
    auto cell = std::dynamic_pointer_cast<OptionsItemCell>(view.cellAt(indexPath));
    if (!item || !cell) return;
    view.deselectItem(indexPath);
    const auto kind = item->title ? optionsRowKind(*item->title) : std::nullopt;
    if (!item->subitems.empty() && kind) {
        const bool expanded = !item->isExpanded;
        expansionState()[*kind] = expanded;
        std::weak_ptr<OptionsPopoverViewController> weak = sharedAs<OptionsPopoverViewController>();
        ui::View::animate(0.3, [weak, cell, expanded] {
            auto self = weak.lock();
            if (!self) return;
            cell->setExpanded(expanded);
            cell->updateChevron();
            self->m_dataSource->apply(self->makeSnapshot(), true);
        });
    }
    if (item->segue == std::string("font")) {
        ui::FontPickerConfiguration configuration;
        configuration.includeFaces = true;
        auto picker = ui::FontPickerViewController::create(configuration);
        picker->setDelegate(sharedAs<OptionsPopoverViewController>());
        present(picker, true);
    }
}

void OptionsPopoverViewController::didPickFont(ui::FontPickerViewController& picker) {
    auto descriptor = picker.selectedFontDescriptor();
    if (!descriptor) return;
    Preferences::shared().subtitleFont.setWrappedValue(descriptor->postscriptName());
    if (auto player = presentingPlayer()) player->updateSubtitleFont();
    if (std::dynamic_pointer_cast<ui::FontPickerViewController>(presentedViewController())) dismiss(true);
}

void OptionsPopoverViewController::rowsDidChange() {
    if (m_dataSource) m_dataSource->apply(makeSnapshot(), true);
}

void OptionsPopoverViewController::subtitleRowsDidReset() {
    if (!m_dataSource) return;
    Snapshot snapshot = makeSnapshot();
    if (snapshot.indexOfSection(OptionsSection::subtitles)) snapshot.reloadSections({OptionsSection::subtitles});
    m_dataSource->apply(std::move(snapshot), false);
}

}  // namespace reelhaven
