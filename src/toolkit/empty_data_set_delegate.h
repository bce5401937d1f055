#pragma once

#include <optional>

#include "platform/ui/controls/button.h"
#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/lists/scroll_view.h"

namespace reelhaven {

// How an empty-state placeholder behaves. Unanswered questions (none) take the defaults: fade
// in, display when empty, not forced, touch allowed, no scrolling, no image animation.
class EmptyDataSetDelegate {
public:
    virtual ~EmptyDataSetDelegate() = default;
    virtual std::optional<bool> emptyDataSetShouldFadeIn(ui::ScrollView&) { return std::nullopt; }
    virtual std::optional<bool> emptyDataSetShouldDisplay(ui::ScrollView&) { return std::nullopt; }
    virtual std::optional<bool> emptyDataSetShouldBeForcedToDisplay(ui::ScrollView&) { return std::nullopt; }
    virtual std::optional<bool> emptyDataSetShouldAllowTouch(ui::ScrollView&) { return std::nullopt; }
    virtual std::optional<bool> emptyDataSetShouldAllowScroll(ui::ScrollView&) { return std::nullopt; }
    virtual std::optional<bool> emptyDataSetShouldAnimateImageView(ui::ScrollView&) { return std::nullopt; }
    // A tap on the content: the form with the recogniser returns whether it handled the tap;
    // when it did not, the plain form runs.
    virtual bool emptyDataSetDidTapViewWith(ui::ScrollView&, ui::GestureRecognizer&) { return false; }
    virtual void emptyDataSetDidTapView(ui::ScrollView&) {}
    virtual bool emptyDataSetDidTapButtonWith(ui::ScrollView&, ui::Button&) { return false; }
    virtual void emptyDataSetDidTapButton(ui::ScrollView&) {}
    virtual void emptyDataSetWillAppear(ui::ScrollView&) {}
    virtual void emptyDataSetDidAppear(ui::ScrollView&) {}
    virtual void emptyDataSetWillDisappear(ui::ScrollView&) {}
    virtual void emptyDataSetDidDisappear(ui::ScrollView&) {}
    virtual std::optional<bool> shouldRecognizeSimultaneously(ui::GestureRecognizer&, ui::GestureRecognizer&) {
        return std::nullopt;
    }
};

}  // namespace reelhaven
