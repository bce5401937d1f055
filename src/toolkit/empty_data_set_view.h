#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/button.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"

namespace reelhaven {

// The centred placeholder of an empty table or collection view: a content view holding an
// image, a title, a description and a button (each made on first use), or a custom view.
class EmptyDataSetView : public ui::View {
public:
    static constexpr double defaultVerticalSpace = 11;

    static std::shared_ptr<EmptyDataSetView> create();
    std::string className() const override { return "EmptyDataSetView"; }

    std::shared_ptr<ui::View> contentView() const { return m_contentView; }
    std::shared_ptr<ui::Label> titleLabel();
    std::shared_ptr<ui::Label> detailLabel();
    std::shared_ptr<ui::ImageView> imageView();
    std::shared_ptr<ui::Button> button();
    std::shared_ptr<ui::View> customView() const { return m_customView; }
    // Replaces the custom view; null does nothing.
    void setCustomView(const std::shared_ptr<ui::View>& view);
    std::shared_ptr<ui::TapGestureRecognizer> tapGesture;
    double verticalOffset = 0;
    double verticalSpace = 0;
    bool fadeInOnDisplay = false;

    bool canShowImage() const;
    bool canShowTitle() const;
    bool canShowDetail() const;
    bool canShowButton() const;
    bool hasTitleLabel() const { return m_titleLabel != nullptr; }
    bool hasButton() const { return m_button != nullptr; }

    void didTapButton(ui::Control& sender);
    void removeAllConstraints();
    void prepareForReuse();
    void setupConstraints();
    // The visual-format strings the last `setupConstraints` used, in order.
    const std::vector<std::string>& layoutFormats() const { return m_formats; }

    std::shared_ptr<ui::View> hitTest(ui::Point point) override;
    void didMoveToSuperview() override;

protected:
    EmptyDataSetView() : ui::View(ui::Rect{}) {}

private:
    bool isInContent(const std::shared_ptr<ui::View>& view) const;
    void addFormat(const std::shared_ptr<ui::View>& to, const std::string& format,
                   const std::map<std::string, double>& metrics,
                   const std::map<std::string, std::shared_ptr<ui::View>>& views);

    std::shared_ptr<ui::View> m_contentView;
    std::shared_ptr<ui::Label> m_titleLabel;
    std::shared_ptr<ui::Label> m_detailLabel;
    std::shared_ptr<ui::ImageView> m_imageView;
    std::shared_ptr<ui::Button> m_button;
    std::shared_ptr<ui::View> m_customView;
    std::vector<std::string> m_formats;
};

}  // namespace reelhaven
