#pragma once

#include <optional>
#include <string>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/object.h"

namespace ui {

enum class BarStyle { defaultStyle, black };

// The look of a navigation controller's bar: its style, translucency, tint (bar button items),
// background tint and the attributes of its title. State only; the text screen prints the title.
class NavigationBar : public Object {
public:
    static std::shared_ptr<NavigationBar> create() { return make<NavigationBar>(); }
    std::string className() const override { return "NavigationBar"; }

    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle style) {
        checkMainThread();
        m_barStyle = style;
    }
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool translucent) {
        checkMainThread();
        m_translucent = translucent;
    }
    std::optional<Color> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<Color> color) {
        checkMainThread();
        m_tintColor = std::move(color);
    }
    std::optional<Color> barTintColor() const { return m_barTintColor; }
    void setBarTintColor(std::optional<Color> color) {
        checkMainThread();
        m_barTintColor = std::move(color);
    }
    const TextAttributes& titleTextAttributes() const { return m_titleTextAttributes; }
    void setTitleTextAttributes(TextAttributes attributes) {
        checkMainThread();
        m_titleTextAttributes = std::move(attributes);
    }

protected:
    NavigationBar() = default;

private:
    BarStyle m_barStyle = BarStyle::defaultStyle;
    bool m_translucent = true;
    std::optional<Color> m_tintColor;
    std::optional<Color> m_barTintColor;
    TextAttributes m_titleTextAttributes;
};

}  // namespace ui
