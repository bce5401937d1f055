#pragma once

#include <memory>
#include <string>

#include "platform/ui/views/image.h"
#include "platform/ui/views/object.h"

namespace ui {

// An entry of a menu: an action, a submenu or a deferred element.
class MenuElement : public Object {
public:
    std::string className() const override { return "MenuElement"; }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    const std::string& subtitle() const { return m_subtitle; }
    void setSubtitle(std::string subtitle) { m_subtitle = std::move(subtitle); }
    std::shared_ptr<Image> image() const { return m_image; }
    void setImage(std::shared_ptr<Image> image) { m_image = std::move(image); }

protected:
    MenuElement(std::string title, std::shared_ptr<Image> image)
        : m_title(std::move(title)), m_image(std::move(image)) {}

private:
    std::string m_title;
    std::string m_subtitle;
    std::shared_ptr<Image> m_image;
};

}  // namespace ui
