#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/views/object.h"

namespace ui {

enum class AlertActionStyle { defaultStyle = 0, cancel = 1, destructive = 2 };

// A button of an alert.
class AlertAction : public Object {
public:
    using Handler = std::function<void(AlertAction&)>;

    static std::shared_ptr<AlertAction> create(std::string title, AlertActionStyle style, Handler handler = {});
    std::string className() const override { return "AlertAction"; }

    const std::string& title() const { return m_title; }
    AlertActionStyle style() const { return m_style; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    const Handler& handler() const { return m_handler; }

private:
    AlertAction(std::string title, AlertActionStyle style, Handler handler)
        : m_title(std::move(title)), m_style(style), m_handler(std::move(handler)) {}

    std::string m_title;
    AlertActionStyle m_style;
    bool m_enabled = true;
    Handler m_handler;
};

}  // namespace ui
