#pragma once

#include <memory>

#include "platform/ui/controls/preview_parameters.h"
#include "platform/ui/views/object.h"

namespace ui {

class View;

// The view a context menu lifts while it opens or closes, with how it is drawn.
class TargetedPreview : public Object {
public:
    static std::shared_ptr<TargetedPreview> create(std::shared_ptr<View> view, PreviewParameters parameters = {}) {
        auto preview = std::shared_ptr<TargetedPreview>(new TargetedPreview());
        preview->m_view = std::move(view);
        preview->m_parameters = std::move(parameters);
        return preview;
    }
    std::string className() const override { return "TargetedPreview"; }

    const std::shared_ptr<View>& view() const { return m_view; }
    const PreviewParameters& parameters() const { return m_parameters; }

private:
    TargetedPreview() = default;

    std::shared_ptr<View> m_view;
    PreviewParameters m_parameters;
};

}  // namespace ui
