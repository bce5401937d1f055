#pragma once

#include <memory>
#include <optional>

#include "platform/ui/animation/animation.h"
#include "platform/ui/controls/control.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/views/image.h"

namespace reelhaven {

// What an empty-state placeholder shows. Every question is optional: the defaults (null, none,
// 0) mean "no answer", and the placeholder then leaves that element out.
class EmptyDataSetSource {
public:
    virtual ~EmptyDataSetSource() = default;
    virtual std::shared_ptr<ui::AttributedString> titleForEmptyDataSet(ui::ScrollView&) { return nullptr; }
    virtual std::shared_ptr<ui::AttributedString> descriptionForEmptyDataSet(ui::ScrollView&) { return nullptr; }
    virtual std::shared_ptr<ui::Image> imageForEmptyDataSet(ui::ScrollView&) { return nullptr; }
    virtual std::optional<ui::Color> imageTintColorForEmptyDataSet(ui::ScrollView&) { return std::nullopt; }
    virtual std::shared_ptr<ui::Animation> imageAnimationForEmptyDataSet(ui::ScrollView&) { return nullptr; }
    virtual std::shared_ptr<ui::AttributedString> buttonTitleForEmptyDataSet(ui::ScrollView&, std::uint32_t /*state*/) {
        return nullptr;
    }
    virtual std::shared_ptr<ui::Image> buttonImageForEmptyDataSet(ui::ScrollView&, std::uint32_t /*state*/) {
        return nullptr;
    }
    virtual std::shared_ptr<ui::Image> buttonBackgroundImageForEmptyDataSet(ui::ScrollView&, std::uint32_t /*state*/) {
        return nullptr;
    }
    virtual std::optional<ui::Color> backgroundColorForEmptyDataSet(ui::ScrollView&) { return std::nullopt; }
    virtual std::shared_ptr<ui::View> customViewForEmptyDataSet(ui::ScrollView&) { return nullptr; }
    virtual double verticalOffsetForEmptyDataSet(ui::ScrollView&) { return 0.0; }
    virtual double spaceHeightForEmptyDataSet(ui::ScrollView&) { return 0.0; }
};

}  // namespace reelhaven
