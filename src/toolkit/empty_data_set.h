#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/ui/button.h"
#include "platform/ui/gesture_recognizer.h"
#include "platform/ui/method_registry.h"
#include "platform/ui/scroll_view.h"
#include "toolkit/empty_data_set_delegate.h"
#include "toolkit/empty_data_set_source.h"
#include "toolkit/empty_data_set_view.h"

namespace reelhaven {

// The empty-state placeholder any scroll view can show while its data source has no items. Its
// state hangs on the scroll view as associated objects ("emptyDataSetSource",
// "emptyDataSetDelegate" in weak boxes, "emptyDataSetView"). Setting a source replaces the
// reload methods of the view's base class (once per class and method, kept in a process-wide
// registry) with ones that refresh the placeholder first. Main thread only.
class EmptyDataSet {
public:
    // One replaced method: the class it belongs to, its name and the implementation it replaced.
    struct RegistryEntry {
        std::string owner;
        std::string selector;
        ui::MethodRegistry::Implementation pointer;
    };

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
    static void swizzleIfPossible(ui::ScrollView& scrollView, const std::string& selector);
    static const std::map<std::string, RegistryEntry>& registry();
    // Puts the registry and the replaced methods back; for tests.
    static void resetRegistry();

    // The taps, as the recogniser and the button deliver them.
    static void didTapContentView(ui::ScrollView& scrollView, ui::GestureRecognizer& recognizer);
    static void didTapDataButton(ui::ScrollView& scrollView, ui::Button& button);

private:
    static std::string baseClassName(const ui::ScrollView& scrollView);
    static bool isKindOf(const ui::ScrollView& scrollView, const std::string& className);
    static bool respondsTo(const ui::ScrollView& scrollView, const std::string& selector);
    static bool answer(std::optional<bool> given, bool fallback) { return given.value_or(fallback); }
};

}  // namespace reelhaven
