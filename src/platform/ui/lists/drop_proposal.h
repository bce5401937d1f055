#pragma once

namespace ui {

// What a drop target proposes while a drag moves over it.
struct DropProposal {
    enum class Operation { cancel, forbidden, copy, move };
    enum class Intent { unspecified, insertAtDestinationIndexPath, insertIntoDestinationIndexPath, automatic };

    Operation operation = Operation::cancel;
    Intent intent = Intent::unspecified;
    bool operator==(const DropProposal&) const = default;
};

}  // namespace ui
