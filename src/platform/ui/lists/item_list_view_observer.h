#pragma once

namespace ui {

class ItemListView;

// Hears one list view reload and finish updates; a list view holds its observers weakly, so an
// observer that goes away stops hearing without unsubscribing.
class ItemListViewObserver {
public:
    virtual ~ItemListViewObserver() = default;
    // Before the list reloads its data (the data source already gives the new counts).
    virtual void listViewWillReload(ItemListView& /*view*/) {}
    // After a table's outermost `endUpdates` has applied the changes.
    virtual void listViewDidEndUpdates(ItemListView& /*view*/) {}
};

}  // namespace ui
