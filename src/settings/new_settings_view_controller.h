#pragma once

#include <memory>
#include <string>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "settings/settings_item.h"

namespace reelhaven {

// The settings screen in list form: the main screen's four sections, each a header row and three
// placeholder rows. Nothing presents it yet. Main thread.
class NewSettingsViewController : public ui::ViewController {
public:
    enum class SettingsSection { storageUsage, playback, interface, contactAndRate };
    using DataSource = ui::CollectionViewDiffableDataSource<SettingsSection, SettingsItem, SettingsItem::Hash>;

    static constexpr SettingsSection allSections[] = {SettingsSection::storageUsage, SettingsSection::playback,
                                                      SettingsSection::interface, SettingsSection::contactAndRate};
    static std::string headerText(SettingsSection section);

    static std::shared_ptr<NewSettingsViewController> create();
    std::string className() const override { return "NewSettingsViewController"; }

    const std::shared_ptr<ui::CollectionView>& collectionView() const { return m_collectionView; }
    const std::shared_ptr<DataSource>& dataSource() const { return m_dataSource; }

    void viewDidLoad() override;

protected:
    NewSettingsViewController() = default;

private:
    void configureDataSource();

    std::shared_ptr<ui::CollectionView> m_collectionView;
    std::shared_ptr<DataSource> m_dataSource;
};

}  // namespace reelhaven
