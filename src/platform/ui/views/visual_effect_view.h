#pragma once

#include <memory>
#include <optional>

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

// A blur the content sits on, or a vibrancy that tints its content for the blur beneath; it has
// a content view for subviews.
class VisualEffectView : public View {
public:
    enum class BlurStyle {
        extraLight,
        light,
        dark,
        regular,
        prominent,
        systemUltraThinMaterial,
        systemThinMaterial,
        systemMaterial,
        systemThickMaterial,
        systemChromeMaterial,
        systemUltraThinMaterialDark,
        systemThinMaterialDark,
        systemMaterialDark
    };

    static std::shared_ptr<VisualEffectView> create(std::optional<BlurStyle> effect);
    // The vibrancy made for content over a blur of `blur`.
    static std::shared_ptr<VisualEffectView> createVibrancy(BlurStyle blur);
    std::string className() const override { return "VisualEffectView"; }

    std::optional<BlurStyle> effect() const { return m_effect; }
    void setEffect(std::optional<BlurStyle> effect) {
        checkMainThread();
        m_effect = effect;
    }
    // The blur a vibrancy effect is made for; none for a blur.
    std::optional<BlurStyle> vibrancyBlurStyle() const { return m_vibrancyBlur; }
    std::shared_ptr<View> contentView() const { return m_contentView; }

protected:
    VisualEffectView() : View(Rect{}) {}

private:
    std::optional<BlurStyle> m_effect;
    std::optional<BlurStyle> m_vibrancyBlur;
    std::shared_ptr<View> m_contentView;
};

}  // namespace ui
