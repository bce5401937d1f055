#pragma once

#include <memory>
#include <optional>

#include "platform/ui/controls/symbol_configuration.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

// Shows an image; its intrinsic size is the image's.
class ImageView : public View {
public:
    static std::shared_ptr<ImageView> create(std::shared_ptr<Image> image = nullptr);
    std::string className() const override { return "ImageView"; }

    std::shared_ptr<Image> image() const { return m_image; }
    void setImage(std::shared_ptr<Image> image);
    std::shared_ptr<Image> highlightedImage() const { return m_highlightedImage; }
    void setHighlightedImage(std::shared_ptr<Image> image) {
        checkMainThread();
        m_highlightedImage = std::move(image);
    }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) {
        checkMainThread();
        m_highlighted = highlighted;
    }
    std::optional<SymbolConfiguration> preferredSymbolConfiguration() const { return m_symbolConfiguration; }
    void setPreferredSymbolConfiguration(std::optional<SymbolConfiguration> c) {
        checkMainThread();
        m_symbolConfiguration = std::move(c);
    }

    Size intrinsicContentSize() const override;
    Size sizeThatFits(Size size) const override;

protected:
    ImageView() : View(Rect{}) {}

private:
    std::shared_ptr<Image> m_image;
    std::shared_ptr<Image> m_highlightedImage;
    bool m_highlighted = false;
    std::optional<SymbolConfiguration> m_symbolConfiguration;
};

}  // namespace ui
