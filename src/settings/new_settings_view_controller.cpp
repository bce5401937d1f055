#include "settings/new_settings_view_controller.h"

#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/lists/compositional_layout.h"
#include "settings/settings_look.h"

namespace reelhaven {

namespace {

constexpr const char* kHeaderIdentifier = "header";
constexpr const char* kRowIdentifier = "row";
constexpr int kPlaceholderRows = 3;

}  // namespace

std::string NewSettingsViewController::headerText(SettingsSection section) {
    switch (section) {
        case SettingsSection::storageUsage: return "Storage Usage";
        case SettingsSection::playback: return "Playback";
        case SettingsSection::interface: return "Interface";
        case SettingsSection::contactAndRate: return "Feedback";
    }
    return {};
}

std::shared_ptr<NewSettingsViewController> NewSettingsViewController::create() {
    return ui::make<NewSettingsViewController>();
}

void NewSettingsViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    navigationItem()->setTitle("Settings");
    view()->setBackgroundColor(SettingsLook::background());
    ui::ListLayoutConfiguration list;
    list.appearance = ui::CollectionLayoutSection::ListAppearance::insetGrouped;
    list.headerMode = ui::ListLayoutConfiguration::HeaderMode::firstItemInSection;
    list.backgroundColor = SettingsLook::background();
    m_collectionView = ui::CollectionView::create(view()->bounds(), ui::CompositionalLayout::createList(list));
    m_collectionView->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    view()->addSubview(m_collectionView);
    configureDataSource();
}

void NewSettingsViewController::configureDataSource() {
    m_collectionView->registerCell(kHeaderIdentifier, [] { return ui::CollectionViewCell::create(); });
    m_collectionView->registerCell(kRowIdentifier, [] { return ui::CollectionViewCell::create(); });
    m_dataSource = DataSource::create(
        m_collectionView, [](ui::CollectionView& view, const ui::IndexPath& indexPath, const SettingsItem& item) {
            const bool header = indexPath.item == 0;
            auto cell = view.dequeueCell(header ? kHeaderIdentifier : kRowIdentifier, indexPath);
            auto content = ui::ListContentConfiguration::cell();
            content.text = item.title;
            cell->setContentConfiguration(content);
            if (header) {
                cell->setAccessories({});
            } else {
                cell->setBackgroundColorConfiguration(ui::Color::systemGray5());
                cell->setAccessories({ui::CellAccessory::disclosureIndicator()});
            }
            return cell;
        });

    DataSource::Snapshot sections;
    sections.appendSections({std::begin(allSections), std::end(allSections)});
    m_dataSource->apply(sections, false);
    for (const auto section : allSections) {
        DataSource::ItemSectionSnapshot tree;
        const SettingsItem header{headerText(section)};
        tree.append({header});
        std::vector<SettingsItem> rows;
        for (int number = 0; number < kPlaceholderRows; ++number)
            rows.push_back(SettingsItem{"Item " + std::to_string(number)});
        tree.append(rows, header);
        tree.expand({header});
        m_dataSource->apply(tree, section, true);
    }
}

}  // namespace reelhaven
