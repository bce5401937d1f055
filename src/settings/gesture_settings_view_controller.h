#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"

namespace reelhaven {

// The player's touch gestures, each with a switch that turns it on or off (the aspect-ratio pinch
// has none). Built in code; the main settings screen pushes it. The switches are read when their
// rows are configured. Main thread.
class GestureSettingsViewController : public ui::ViewController {
public:
    enum class GestureSettingsSection { main };
    enum class Gesture { seek = 0, playPause = 1, aspectRatio = 2, volume = 3, brightness = 4 };

    struct GestureSettingsItem {
        std::string title;
        std::string subtitle;
        Gesture gesture = Gesture::seek;

        bool operator==(const GestureSettingsItem&) const = default;
        struct Hash {
            std::size_t operator()(const GestureSettingsItem& item) const;
        };
    };
    using DataSource =
        ui::CollectionViewDiffableDataSource<GestureSettingsSection, GestureSettingsItem, GestureSettingsItem::Hash>;

    // The rows in list order, which is not the order of the gestures' raw values.
    static const std::vector<GestureSettingsItem>& items();

    static std::shared_ptr<GestureSettingsViewController> create();
    std::string className() const override { return "GestureSettingsViewController"; }

    const std::shared_ptr<ui::CollectionView>& collectionView() const { return m_collectionView; }
    const std::shared_ptr<DataSource>& dataSource() const { return m_dataSource; }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

    // A row's switch changed: its state goes to the gesture's setting (none for the pinch).
    void switchChanged(ui::Control& sender, const GestureSettingsItem& item);

protected:
    GestureSettingsViewController() = default;

private:
    void configure(ui::CollectionViewCell& cell, const GestureSettingsItem& item);

    std::shared_ptr<ui::CollectionView> m_collectionView;
    std::shared_ptr<DataSource> m_dataSource;
};

}  // namespace reelhaven
