#pragma once

#include <memory>
#include <optional>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/text/font_descriptor.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

class FontPickerViewController;

class FontPickerDelegate {
public:
    virtual ~FontPickerDelegate() = default;
    virtual void didPickFont(FontPickerViewController& picker) = 0;
    virtual void didCancel(FontPickerViewController& /*picker*/) {}
};

// What the font picker offers.
struct FontPickerConfiguration {
    bool includeFaces = false;
    bool displayUsingSystemFont = false;
};

// The system's font picker. Tests pick a font descriptor or cancel, as the user would.
class FontPickerViewController : public ViewController {
public:
    using Configuration = FontPickerConfiguration;

    static std::shared_ptr<FontPickerViewController> create(Configuration configuration = {});
    std::string className() const override { return "FontPickerViewController"; }

    const Configuration& configuration() const { return m_configuration; }
    std::optional<FontDescriptor> selectedFontDescriptor() const { return m_selected; }
    void setSelectedFontDescriptor(std::optional<FontDescriptor> descriptor) {
        checkMainThread();
        m_selected = std::move(descriptor);
    }
    std::shared_ptr<FontPickerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<FontPickerDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }

    void pick(const FontDescriptor& descriptor);
    void cancel();

protected:
    FontPickerViewController() = default;

private:
    Configuration m_configuration;
    std::optional<FontDescriptor> m_selected;
    std::weak_ptr<FontPickerDelegate> m_delegate;
};

}  // namespace ui
