#include "settings/gesture_settings_view_controller.h"

#include <optional>

#include "core/preferences.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/lists/compositional_layout.h"
#include "settings/settings_look.h"

namespace reelhaven {

namespace {

constexpr const char* kCellIdentifier = "gesture";

// The setting a gesture's switch stands for; none for the pinch, which cannot be turned off.
GlobalSetting<bool>* gestureSetting(GestureSettingsViewController::Gesture gesture) {
    using Gesture = GestureSettingsViewController::Gesture;
    auto& preferences = Preferences::shared();
    switch (gesture) {
        case Gesture::seek: return &preferences.seekGestures;
        case Gesture::playPause: return &preferences.playPauseTapGestures;
        case Gesture::volume: return &preferences.volumeGestures;
        case Gesture::brightness: return &preferences.brightnessGestures;
        case Gesture::aspectRatio: return nullptr;
    }
    return nullptr;
}

}  // namespace

std::size_t GestureSettingsViewController::GestureSettingsItem::Hash::operator()(
    const GestureSettingsItem& item) const {
    std::size_t hash = std::hash<std::string>()(item.title);
    hash ^= std::hash<std::string>()(item.subtitle) + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    hash ^= static_cast<std::size_t>(item.gesture) + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    return hash;
}

const std::vector<GestureSettingsViewController::GestureSettingsItem>& GestureSettingsViewController::items() {
    static const std::vector<GestureSettingsItem> rows{
        {"Seek", "Swipe left or right", Gesture::seek},
        {"Play or Pause", "Tap with two fingers", Gesture::playPause},
        {"Volume", "Swipe up or down on the right edge", Gesture::volume},
        {"Brightness", "Swipe up or down on the left edge", Gesture::brightness},
        {"Change aspect ratio", "Pinch with two fingers", Gesture::aspectRatio}};
    return rows;
}

std::shared_ptr<GestureSettingsViewController> GestureSettingsViewController::create() {
    return ui::make<GestureSettingsViewController>();
}

void GestureSettingsViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    navigationItem()->setTitle("Gestures");
    ui::ListLayoutConfiguration list;
    list.appearance = ui::CollectionLayoutSection::ListAppearance::insetGrouped;
    list.backgroundColor = SettingsLook::background();
    m_collectionView = ui::CollectionView::create(view()->bounds(), ui::CompositionalLayout::createList(list));
    m_collectionView->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    m_collectionView->setBackgroundColor(SettingsLook::background());
    view()->addSubview(m_collectionView);

    m_collectionView->registerCell(kCellIdentifier, [] { return ui::CollectionViewCell::create(); });
    std::weak_ptr<GestureSettingsViewController> weakSelf = sharedAs<GestureSettingsViewController>();
    m_dataSource = DataSource::create(
        m_collectionView,
        [weakSelf](ui::CollectionView& view, const ui::IndexPath& indexPath, const GestureSettingsItem& item) {
            auto cell = view.dequeueCell(kCellIdentifier, indexPath);
            auto content = ui::ListContentConfiguration::cell();
            content.text = item.title;
            content.secondaryText = item.subtitle;
            content.imageProperties.tintColor = ui::Color::white();
            cell->setContentConfiguration(content);
            cell->setBackgroundColorConfiguration(ui::Color::systemGray5());
            cell->setAccessories({});
            // A screen already gone gives its rows no switch.
            if (auto self = weakSelf.lock()) self->configure(*cell, item);
            return cell;
        });
    DataSource::Snapshot snapshot;
    snapshot.appendSections({GestureSettingsSection::main});
    snapshot.appendItems(items(), GestureSettingsSection::main);
    m_dataSource->apply(snapshot, false);
}

void GestureSettingsViewController::configure(ui::CollectionViewCell& cell, const GestureSettingsItem& item) {
    auto toggle = ui::Switch::create();
    toggle->setOnTintColor(ui::Color::systemBlue());
    auto* setting = gestureSetting(item.gesture);
    toggle->setOn(setting ? setting->wrappedValue() : true);
    std::weak_ptr<GestureSettingsViewController> weakSelf = sharedAs<GestureSettingsViewController>();
    toggle->addTarget(
        toggle,
        [weakSelf, item](ui::Control& sender) {
            if (auto self = weakSelf.lock()) self->switchChanged(sender, item);
        },
        ui::valueChanged);
    auto accessory = ui::CellAccessory::customView(toggle);
    accessory.isHidden = item.gesture == Gesture::aspectRatio;
    cell.setAccessories({accessory});
}

void GestureSettingsViewController::switchChanged(ui::Control& sender, const GestureSettingsItem& item) {
    auto* toggle = dynamic_cast<ui::Switch*>(&sender);
    if (!toggle) return;
    if (auto* setting = gestureSetting(item.gesture)) setting->setWrappedValue(toggle->isOn());
}

void GestureSettingsViewController::viewDidLayoutSubviews() {
    ui::ViewController::viewDidLayoutSubviews();
    if (m_collectionView) SettingsLook::applyLayoutMargins(*m_collectionView, *view());
}

}  // namespace reelhaven
