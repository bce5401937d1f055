#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/lists/cell_accessory.h"
#include "platform/ui/lists/collection_reusable_view.h"
#include "platform/ui/lists/list_content_configuration.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A cell of a collection or table view: a content view for subviews, selection and highlight
// states, and for list cells a content configuration and accessories.
class CollectionViewCell : public CollectionReusableView {
public:
    static std::shared_ptr<CollectionViewCell> create(const Rect& frame = {});
    std::string className() const override { return "CollectionViewCell"; }

    std::shared_ptr<View> contentView();
    virtual bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected) {
        checkMainThread();
        m_selected = selected;
    }
    virtual bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted) {
        checkMainThread();
        m_highlighted = highlighted;
    }
    const std::optional<ListContentConfiguration>& contentConfiguration() const { return m_contentConfiguration; }
    // Shown through a list content view that fills the content view, replacing the previous one.
    void setContentConfiguration(std::optional<ListContentConfiguration> c);
    const std::vector<CellAccessory>& accessories() const { return m_accessories; }
    // A custom view accessory becomes a subview at the trailing edge, above the content, so it is
    // shown and takes its touches; one marked hidden keeps its place unseen. A disclosure
    // indicator or a check mark is shown as its symbol there, and the list content stops before it.
    void setAccessories(std::vector<CellAccessory> accessories);
    std::optional<Color> backgroundColorConfiguration() const { return m_backgroundColor; }
    void setBackgroundColorConfiguration(std::optional<Color> color) {
        checkMainThread();
        m_backgroundColor = std::move(color);
    }

    void prepareForReuse() override;

    void layoutMarginsDidChange() override;
    // A row read the other way places its content and accessories again.
    void traitCollectionDidChange(const TraitCollection& previous) override;

protected:
    explicit CollectionViewCell(const Rect& frame);
    // Places what the cell shows in its content view, inside the cell's layout margins; runs in
    // the content view's layout pass.
    virtual void layoutContent();

private:
    // An accessory as the cell shows it: its view, and the symbol an indicator shows now.
    struct PlacedAccessory {
        std::shared_ptr<View> view;
        CellAccessory::Kind kind;
        std::string symbol;
    };
    static std::optional<PlacedAccessory> placed(const CellAccessory& accessory);
    // Places the accessories from the trailing edge in; the width the marks take from the content.
    double placeAccessories();

    std::shared_ptr<View> m_contentView;
    std::shared_ptr<class ListContentView> m_listContent;
    bool m_selected = false;
    bool m_highlighted = false;
    std::optional<ListContentConfiguration> m_contentConfiguration;
    std::vector<CellAccessory> m_accessories;
    std::vector<PlacedAccessory> m_placed;
    std::optional<Color> m_backgroundColor;
};

}  // namespace ui
