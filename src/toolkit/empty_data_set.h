#pragma once

#include <memory>
#include <string>

#include "platform/ui/controls/button.h"
#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/lists/scroll_view.h"
#include "toolkit/empty_data_set_delegate.h"
#include "toolkit/empty_data_set_source.h"
#include "toolkit/empty_data_set_view.h"

namespace reelhaven {

// The empty-state placeholder any scroll view can show while its data source has no items. Its
// state hangs on the scroll view as associated objects ("emptyDataSetSource",
// "emptyDataSetDelegate" in weak boxes, "emptyDataSetView"). Setting a source on a table or
// collection view subscribes to that view's reloads (and a table's updates), so the placeholder
// is refreshed before the view reloads; clearing the source unsubscribes. Other views are not
// touched. Main thread only.
class EmptyDataSet {
public:
    static constexpr const char* imageAnimationKey = "reelhaven.emptyDataSet.imageViewAnimation";

    static void setEmptyDataSetSource(ui::ScrollView& scrollView, const std::shared_ptr<EmptyDataSetSource>& source);
    static std::shared_ptr<EmptyDataSetSource> emptyDataSetSource(const ui::ScrollView& scrollView);
    static void setEmptyDataSetDelegate(ui::ScrollView& scrollView, const std::shared_ptr<EmptyDataSetDelegate>& d);
    static std::shared_ptr<EmptyDataSetDelegate> emptyDataSetDelegate(const ui::ScrollView& scrollView);
    static bool isEmptyDataSetVisible(const ui::ScrollView& scrollView);
    static void reloadEmptyDataSet(ui::ScrollView& scrollView);

    // The placeholder, made on demand (or null when `make` is false and there is none).
    static std::shared_ptr<EmptyDataSetView> emptyDataSetView(ui::ScrollView& scrollView, bool make = true);
    static bool canDisplay(const ui::ScrollView& scrollView);
    static int itemsCount(ui::ScrollView& scrollView);
    static void invalidate(ui::ScrollView& scrollView);
    // Whether the placeholder follows the view's reloads (a source is set on a list view).
    static bool isObservingReloads(const ui::ScrollView& scrollView);

    // The taps, as the recogniser and the button deliver them.
    static void didTapContentView(ui::ScrollView& scrollView, ui::GestureRecognizer& recognizer);
    static void didTapDataButton(ui::ScrollView& scrollView, ui::Button& button);

private:
    static void observeReloads(ui::ScrollView& scrollView, bool observe);
    static bool answer(std::optional<bool> given, bool fallback) { return given.value_or(fallback); }
};

}  // namespace reelhaven
