#pragma once

#include <any>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/index_path.h"
#include "platform/ui/object.h"

namespace ui {

// One dragged thing: the app's own object and the types it can be read as.
struct DragItem {
    std::any localObject;
    std::vector<std::string> typeIdentifiers;
};

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

private:
    DragSession() = default;

    std::vector<DragItem> m_items;
    std::optional<IndexPath> m_source;
};

// What a drop target proposes while a drag moves over it.
struct DropProposal {
    enum class Operation { cancel, forbidden, copy, move };
    enum class Intent { unspecified, insertAtDestinationIndexPath, insertIntoDestinationIndexPath, automatic };

    Operation operation = Operation::cancel;
    Intent intent = Intent::unspecified;
    bool operator==(const DropProposal&) const = default;
};

}  // namespace ui
