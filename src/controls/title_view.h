#pragma once

#include <memory>

#include "platform/ui/text/label.h"
#include "platform/ui/views/visual_effect_view.h"
#include "toolkit/nib_loadable.h"

namespace reelhaven {

// The blurred rounded panel with the video's title that the player shows and hides. Its content
// comes from the interface file "TitleView"; the player writes the title label. Main thread.
class TitleView : public ui::View, public NibLoadable<TitleView> {
public:
    static std::shared_ptr<TitleView> create(const ui::Rect& frame = {});
    std::string className() const override { return "TitleView"; }

    std::shared_ptr<ui::Label> titleLabel() const { return m_titleLabel.lock(); }
    std::shared_ptr<ui::VisualEffectView> visualEffectView() const { return m_visualEffectView.lock(); }

protected:
    explicit TitleView(const ui::Rect& frame) : ui::View(frame) {}

private:
    friend class TitleViewNib;

    void awakeFromNib();

    std::weak_ptr<ui::Label> m_titleLabel;
    std::weak_ptr<ui::VisualEffectView> m_visualEffectView;
};

}  // namespace reelhaven
