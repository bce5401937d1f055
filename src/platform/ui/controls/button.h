#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controls/control.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

enum class ButtonType { custom, system, detailDisclosure, infoLight, infoDark, contactAdd, close };

// A button with a title, attributed title, title colour, image and background image per control
// state (a state without its own value shows the normal one), an optional menu and an optional
// primary action. A menu that is the primary action opens when a touch lifts over the button;
// any other menu opens once a finger has held the button for `menuPressDuration` on the main run
// loop's clock, and that touch then ends without the primary action.
class Button : public Control {
public:
    static std::shared_ptr<Button> create(ButtonType type = ButtonType::system);
    static std::shared_ptr<Button> create(ButtonType type, const std::shared_ptr<Action>& primaryAction);
    std::string className() const override { return "Button"; }

    ButtonType buttonType() const { return m_type; }

    std::optional<std::string> title(std::uint32_t state) const;
    void setTitle(std::optional<std::string> title, std::uint32_t state);
    std::shared_ptr<AttributedString> attributedTitle(std::uint32_t state) const;
    void setAttributedTitle(std::shared_ptr<AttributedString> title, std::uint32_t state);
    std::optional<Color> titleColor(std::uint32_t state) const;
    void setTitleColor(std::optional<Color> color, std::uint32_t state);
    std::shared_ptr<Image> image(std::uint32_t state) const;
    void setImage(std::shared_ptr<Image> image, std::uint32_t state);
    std::shared_ptr<Image> backgroundImage(std::uint32_t state) const;
    void setBackgroundImage(std::shared_ptr<Image> image, std::uint32_t state);
    std::optional<std::string> currentTitle() const { return title(state()); }
    std::shared_ptr<Image> currentImage() const { return image(state()); }

    // Once asked for, the title label and image view show the title and image: the button's
    // layout places them in its content rectangle and the label takes the title's colour.
    std::shared_ptr<Label> titleLabel();
    std::shared_ptr<ImageView> imageView();
    // The colour the title shows in now: the state's title colour, else the tint (white for a
    // custom button), faded while disabled or while a system button is held.
    Color currentTitleColor() const;
    // Where the image and the title go in `bounds`: the pair centred in the content rectangle.
    struct ContentFrames {
        Rect image;
        Rect title;
    };
    ContentFrames contentFrames() const;
    std::shared_ptr<Menu> menu() const { return m_menu; }
    void setMenu(std::shared_ptr<Menu> menu) {
        checkMainThread();
        m_menu = std::move(menu);
    }
    bool showsMenuAsPrimaryAction() const { return m_showsMenu; }
    void setShowsMenuAsPrimaryAction(bool shows) {
        checkMainThread();
        m_showsMenu = shows;
    }
    std::shared_ptr<Action> primaryAction() const { return m_primaryAction; }
    void setPrimaryAction(std::shared_ptr<Action> action) {
        checkMainThread();
        m_primaryAction = std::move(action);
    }
    EdgeInsets contentEdgeInsets() const { return m_contentEdgeInsets; }
    void setContentEdgeInsets(const EdgeInsets& insets) {
        checkMainThread();
        m_contentEdgeInsets = insets;
    }
    int menuOpenings() const { return m_menuOpenings; }
    // Whether a pointer over the button highlights it (iPad trackpads and mice).
    bool isPointerInteractionEnabled() const { return m_pointerInteraction; }
    void setPointerInteractionEnabled(bool enabled) {
        checkMainThread();
        m_pointerInteraction = enabled;
    }

    static constexpr double menuPressDuration = 0.5;
    // Whether a finger held on the button opens its menu.
    bool opensMenuOnPress() const { return m_menu && !m_showsMenu; }
    // Opens the menu at once, as a held press does (a pointer's secondary click asks for it so):
    // false without a menu, while disabled or outside a window.
    bool showMenu();

    bool beginTracking(const Touch& touch) override;
    void endTracking(const Touch* touch) override;
    void cancelTracking() override;

    Size intrinsicContentSize() const override;
    Size sizeThatFits(Size size) const override;
    void layoutSubviews() override;
    void setEnabled(bool enabled) override;
    void setSelected(bool selected) override;
    void setHighlighted(bool highlighted) override;
    void tintColorDidChange() override;

protected:
    explicit Button(ButtonType type) : Control(Rect{}), m_type(type) {}
    // With a menu as the primary action the menu opens (counted) and no touch event is sent;
    // otherwise the touch events and the primary action.
    void touchEndedInside() override;

private:
    void openMenu();
    void stopMenuPress();
    template <typename T>
    static T lookup(const std::map<std::uint32_t, T>& map, std::uint32_t state);
    void refreshTitleLabel();
    // The title's one-line size in the title label's font.
    Size titleSize() const;

    ButtonType m_type;
    std::map<std::uint32_t, std::string> m_titles;
    std::map<std::uint32_t, std::shared_ptr<AttributedString>> m_attributedTitles;
    std::map<std::uint32_t, Color> m_titleColors;
    std::map<std::uint32_t, std::shared_ptr<Image>> m_images;
    std::map<std::uint32_t, std::shared_ptr<Image>> m_backgroundImages;
    std::shared_ptr<Label> m_titleLabel;
    std::shared_ptr<ImageView> m_imageView;
    std::shared_ptr<Menu> m_menu;
    bool m_showsMenu = false;
    std::shared_ptr<Action> m_primaryAction;
    EdgeInsets m_contentEdgeInsets;
    int m_menuOpenings = 0;
    std::uint64_t m_menuPressTimer = 0;
    bool m_pointerInteraction = false;
};

}  // namespace ui
