#pragma once

#include <any>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controls/preview_parameters.h"
#include "platform/ui/lists/drag_item.h"
#include "platform/ui/lists/drop_proposal.h"
#include "platform/ui/lists/index_path.h"
#include "platform/ui/views/object.h"

namespace ui {

// A drag in progress, as started on an item of a list view; drops inside the app see it as local.
class DragSession : public Object {
public:
    static std::shared_ptr<DragSession> create(std::vector<DragItem> items, std::optional<IndexPath> source = {});
    std::string className() const override { return "DragSession"; }

    const std::vector<DragItem>& items() const { return m_items; }
    const std::optional<IndexPath>& sourceIndexPath() const { return m_source; }
    std::any localContext;
    // A drop from another app has no local drag session.
    bool isLocal = true;
    bool hasItemsConforming(const std::string& typeIdentifier) const;
    // What the source said when the drag began: the lifted look and whether drops may move.
    std::optional<PreviewParameters> previewParameters;
    bool allowsMoveOperation = true;

private:
    DragSession() = default;

    std::vector<DragItem> m_items;
    std::optional<IndexPath> m_source;
};

}  // namespace ui
